#include "core/net/receipt.h"

#include "core/text/format.h"

namespace tavik::net {

std::string RecipientName(std::string_view text, std::string_view peerAddress) {
    constexpr std::string_view kTo = " to ";
    std::size_t lineFeed = text.find('\n');
    std::size_t to = text.find(kTo);
    if (lineFeed == std::string_view::npos || to == std::string_view::npos || to > lineFeed) {
        return std::string(peerAddress);
    }
    std::size_t start = to + kTo.size();
    // The two bytes before the line feed are the sentence's end: "." and CR.
    if (lineFeed < start + 2 + 1) return std::string(peerAddress);
    return std::string(text.substr(start, lineFeed - 2 - start));
}

std::string ReceiptText(std::string_view format, std::string_view recipient, std::string_view dateTime,
                        std::size_t messageLength) {
    if (format.empty()) format = kDefaultReceiptFormat;
    return FormatText(format, {recipient, dateTime, static_cast<std::int64_t>(messageLength)});
}

std::string BuildReceipt(std::string_view receiptText, std::string_view computerName, std::string_view localAddress,
                         std::uint32_t udpPort) {
    using namespace std::string_view_literals;
    std::string datagram;
    datagram.reserve(receiptText.size() + 96);
    datagram.append(kReceiptTypeWord);
    datagram.append("\0#0"sv);
    datagram.append(receiptText);
    datagram.append("\0#1"sv);
    datagram.append(computerName.substr(0, kComputerNameLimit));
    datagram.append("\0#2\0#30\0#4\0#5"sv);
    datagram.append(localAddress);
    datagram.push_back(':');
    datagram += std::to_string(udpPort);
    datagram.push_back('u');
    datagram.append("\0#6\0#7\0#8\0#9\0"sv);
    return datagram;
}

}  // namespace tavik::net
