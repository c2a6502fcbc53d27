#pragma once
// The fields of one message of the own protocol, as both framings yield them.

#include <string>

namespace tavik::net {

struct MessageFields {
    std::string text;          // field 0: shown as it stands
    std::string name;          // field 1: the sender's computer name
    char flag = '\0';          // first byte of field 3; '1' asks for high priority
    std::string replyAddress;  // field 5: "address:port", "u" after the port on UDP
};

}  // namespace tavik::net
