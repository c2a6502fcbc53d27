#pragma once
// Items of a message block's byte area, each after a buffer-format byte:
//   0x04 name: a NUL-terminated string (OEM code page)
//   0x01 data: a 16-bit length L (little-endian), then L bytes of text (OEM, lines split by 0x14)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/bytes/byte_reader.h"

namespace tavik::netbios {

inline constexpr std::uint8_t kNameItemFormat = 0x04;
inline constexpr std::uint8_t kDataItemFormat = 0x01;

// The name at the reader's position; nothing when the format byte differs or the name has no
// NUL before the end.
std::optional<std::string_view> ReadNameItem(bytes::ByteReader& area);
// The data at the reader's position, of at most as many bytes as remain; nothing when the
// format byte differs or the length is cut off.
std::optional<std::string_view> ReadDataItem(bytes::ByteReader& area);

std::string NameItem(std::string_view name);
std::string DataItem(std::string_view data);  // at most 65535 bytes of data are written

}  // namespace tavik::netbios
