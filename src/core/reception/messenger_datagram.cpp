#include "core/reception/messenger_datagram.h"

#include "core/bytes/byte_reader.h"

namespace tavik {

std::optional<MessengerDatagram> ParseMessengerDatagram(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size <= kMessengerMinimumDropSize) {
        return std::nullopt;
    }
    bytes::ByteReader reader(data, size);
    MessengerDatagram datagram;
    datagram.sender = reader.ReadNulTerminated();
    datagram.recipient = reader.ReadNulTerminated();
    datagram.text = reader.ReadUpToNulOrEnd();  // may be empty
    if (!reader.Ok()) {
        return std::nullopt;
    }
    return datagram;
}

std::string WithMessengerLineSeparators(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF that follows makes the separator
        }
        out.push_back(text[i] == '\n' ? kMessengerLineSeparator : text[i]);
    }
    return out;
}

std::string BuildMessengerDatagram(std::string_view sender, std::string_view recipient, std::string_view text) {
    std::string out;
    out.reserve(sender.size() + recipient.size() + text.size() + 2);
    out.append(sender);
    out.push_back('\0');
    out.append(recipient);
    out.push_back('\0');
    out.append(WithMessengerLineSeparators(text));
    return out;
}

}  // namespace tavik
