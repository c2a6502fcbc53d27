#include "core/net/outgoing_message.h"

#include "core/bytes/byte_reader.h"

namespace tavik::net {

using bytes::UpToNul;

std::string BuildUdpMessage(const OutgoingMessage& message, std::string_view typeWord) {
    using namespace std::string_view_literals;
    std::string datagram(UpToNul(typeWord));
    datagram.append("\0#0"sv);
    datagram.append(UpToNul(message.text));
    datagram.append("\0#1"sv);
    datagram.append(UpToNul(message.name));
    datagram.append("\0#2\0#3"sv);
    datagram.push_back(message.highPriority ? '1' : '0');
    datagram.append("\0#4\0#5"sv);
    datagram.append(UpToNul(message.replyAddress));
    datagram.append("\0#6\0"sv);
    return datagram;
}

std::string BuildTcpMessage(const OutgoingMessage& message) {
    std::string data("/$0");
    data.append(UpToNul(message.text));
    data.append("/$1");
    data.append(UpToNul(message.name));
    data.append("/$2/$3");
    data.push_back(message.highPriority ? '1' : '0');
    data.append("/$4/$5");
    data.append(UpToNul(message.replyAddress));
    data.append("/$6/$7");
    return data;
}

}  // namespace tavik::net
