#pragma once
// Messages of the own protocol as a sender writes them.

#include <string>
#include <string_view>

namespace tavik::net {

struct OutgoingMessage {
    std::string text;           // field 0; ends at a NUL, if it holds one
    std::string name;           // field 1: the sending computer
    bool highPriority = false;  // field 3: "1", else "0"
    std::string replyAddress;   // field 5: "address:port" (the UDP form adds "u")
};

// typeWord NUL"#0" text NUL"#1" name NUL"#2" NUL"#3" flag NUL"#4" NUL"#5" reply NUL"#6" NUL
std::string BuildUdpMessage(const OutgoingMessage& message, std::string_view typeWord = "MESSAGE");

// "/$0" text "/$1" name "/$2/$3" flag "/$4/$5" reply "/$6/$7"
std::string BuildTcpMessage(const OutgoingMessage& message);

}  // namespace tavik::net
