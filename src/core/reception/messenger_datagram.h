#pragma once
// The Messenger datagram written to the "messngr" mailslot: sender NUL, recipient NUL,
// then the text to the end of the datagram, its lines separated by the byte 0x14.
// All three are in the OEM code page.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

inline constexpr const char* kMessengerMailslotName = "\\\\.\\mailslot\\messngr";
inline constexpr char kMessengerLineSeparator = '\x14';
// Datagrams of this many bytes or fewer are dropped unread.
inline constexpr std::size_t kMessengerMinimumDropSize = 6;

struct MessengerDatagram {
    std::string sender;
    std::string recipient;
    std::string text;  // may be empty; still holds 0x14 line separators
};

// Takes a received datagram apart, reading only data[0, size). Empty result when it is
// 6 bytes or fewer, or the sender or recipient is not ended by a NUL inside it. The text
// runs to the end of the data or to an earlier NUL.
std::optional<MessengerDatagram> ParseMessengerDatagram(const unsigned char* data, std::size_t size);

// Each CR LF or lone LF of text becomes 0x14, as Messenger text carries its line ends.
std::string WithMessengerLineSeparators(std::string_view text);

// Lays out a datagram: sender NUL recipient NUL text, with WithMessengerLineSeparators
// applied to the text. The strings go out byte for byte (the caller converts the code page).
std::string BuildMessengerDatagram(std::string_view sender, std::string_view recipient, std::string_view text);

}  // namespace tavik
