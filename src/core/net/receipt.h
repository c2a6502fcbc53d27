#pragma once
// The delivery receipt a UDP sender gets back once its message has been taken:
//   "NOTIFY_MESSAGE" NUL "#0" text NUL "#1" computer NUL "#2" NUL "#3" "0" NUL "#4" NUL
//   "#5" address ":" port "u" NUL "#6" NUL "#7" NUL "#8" NUL "#9" NUL

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavik::net {

// Receipts of other receivers start so; they are never shown.
inline constexpr std::string_view kReceiptTypeWord = "NOTIFY_MESSAGE";

// Used when the resource module gives no receipt text.
inline constexpr std::string_view kDefaultReceiptFormat = "Message to %s delivered on %s (%d bytes)";

// Computer names are NetBIOS names: at most 15 characters.
inline constexpr std::size_t kComputerNameLimit = 15;

// Who the message was for: in "Message from A to BOB.\r\n..." the text between the first
// " to " and the first line feed, less the two bytes before the line feed ("BOB"). Without
// a " to " before the first line feed, or when nothing would remain, the peer address.
std::string RecipientName(std::string_view text, std::string_view peerAddress);

// The receipt text: format (its default when empty) with the recipient, the date-time text
// and the byte count of the received message.
std::string ReceiptText(std::string_view format, std::string_view recipient, std::string_view dateTime,
                        std::size_t messageLength);

// The whole receipt datagram.
std::string BuildReceipt(std::string_view receiptText, std::string_view computerName, std::string_view localAddress,
                         std::uint32_t udpPort);

}  // namespace tavik::net
