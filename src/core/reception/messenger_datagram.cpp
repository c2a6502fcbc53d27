#include "core/reception/messenger_datagram.h"

#include <cstring>

namespace tavik {

namespace {

// Position of the first NUL in data[from, size), or size when there is none.
std::size_t FindNul(const unsigned char* data, std::size_t from, std::size_t size) {
    if (from >= size) {
        return size;
    }
    const void* hit = std::memchr(data + from, 0, size - from);
    return hit == nullptr ? size : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - data);
}

std::string Bytes(const unsigned char* data, std::size_t from, std::size_t to) {
    return std::string(reinterpret_cast<const char*>(data) + from, to - from);
}

}  // namespace

std::optional<MessengerDatagram> ParseMessengerDatagram(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size <= kMessengerMinimumDropSize) {
        return std::nullopt;
    }
    const std::size_t senderEnd = FindNul(data, 0, size);
    if (senderEnd == size) {
        return std::nullopt;
    }
    const std::size_t recipientStart = senderEnd + 1;
    const std::size_t recipientEnd = FindNul(data, recipientStart, size);
    if (recipientEnd == size) {
        return std::nullopt;
    }
    const std::size_t textStart = recipientEnd + 1;
    const std::size_t textEnd = FindNul(data, textStart, size);

    MessengerDatagram datagram;
    datagram.sender = Bytes(data, 0, senderEnd);
    datagram.recipient = Bytes(data, recipientStart, recipientEnd);
    datagram.text = Bytes(data, textStart, textEnd);  // textStart <= size: may be empty
    return datagram;
}

std::string BuildMessengerDatagram(std::string_view sender, std::string_view recipient,
                                   std::string_view text) {
    std::string out;
    out.reserve(sender.size() + recipient.size() + text.size() + 2);
    out.append(sender);
    out.push_back('\0');
    out.append(recipient);
    out.push_back('\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF that follows makes the separator
        }
        out.push_back(text[i] == '\n' ? kMessengerLineSeparator : text[i]);
    }
    return out;
}

}  // namespace tavik
