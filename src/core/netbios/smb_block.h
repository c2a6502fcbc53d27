#pragma once
// The SMB message block as Messenger sessions carry it (numbers little-endian):
//   0 protocol FF 'S' 'M' 'B' | 4 command | 5..31 rest of the header | 32 word count W |
//   33 W parameter words | 33+2W byte count B | 35+2W byte area of B bytes
// Of a received header only the protocol bytes and the command count; replies leave the rest 0.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::netbios {

inline constexpr std::string_view kSmbProtocol = "\xFFSMB";

inline constexpr std::uint8_t kSingleBlockMessage = 0xD0;
inline constexpr std::uint8_t kBroadcastMessage = 0xD1;
inline constexpr std::uint8_t kGetMachineName = 0xD4;
inline constexpr std::uint8_t kMultiBlockStart = 0xD5;
inline constexpr std::uint8_t kMultiBlockEnd = 0xD6;
inline constexpr std::uint8_t kMultiBlockText = 0xD7;

// Handed out in every start reply; text and end blocks are taken only with it.
inline constexpr std::uint16_t kMessageGroupId = 0x0101;

inline constexpr std::size_t kSmbHeaderSize = 32;
// Header, word count and byte count: a block with no words and no bytes.
inline constexpr std::size_t kMinimumBlockSize = 35;
// The largest block a session takes.
inline constexpr std::size_t kMaximumBlockSize = 215;

struct SmbBlock {
    std::uint8_t command = 0;
    std::optional<std::uint16_t> firstWord;  // parameter word 0, when the block has words
    // The B bytes after the byte count, as far as they were received; empty when the byte
    // count itself lies beyond the bytes received.
    std::string_view byteArea;
};

// Nothing when the bytes are fewer than kMinimumBlockSize or do not start with the protocol
// bytes. The result looks into bytes.
std::optional<SmbBlock> ReadSmbBlock(std::string_view bytes);

// A block with a zero header apart from protocol and command.
std::string BuildSmbBlock(std::uint8_t command, std::initializer_list<std::uint16_t> words = {},
                          std::string_view byteArea = {});

}  // namespace tavik::netbios
