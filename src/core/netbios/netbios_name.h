#pragma once
// NetBIOS names: 15 bytes of name padded with blanks, then a suffix byte that says what the
// name is for. Messenger listens on the computer name and the user's name with suffix 0x03.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::netbios {

inline constexpr std::size_t kNetbiosNameSize = 16;
inline constexpr std::size_t kNetbiosNameChars = 15;
inline constexpr std::uint8_t kMessengerSuffix = 0x03;
inline constexpr std::uint8_t kWorkstationSuffix = 0x00;
// Slots of the name table: at most this many names are served.
inline constexpr std::size_t kMaximumNameSlots = 15;

// The first 15 bytes of name (fewer when shorter), blanks up to byte 15, then suffix. The
// case is kept.
std::string NetbiosName(std::string_view name, std::uint8_t suffix);

// a-z to A-Z; every other byte as it is.
std::string UpperCaseAscii(std::string_view text);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The names Messenger serves: the computer name, then the upper-cased user name unless it is
// byte for byte the computer name.
std::vector<std::string> MessengerNames(std::string_view computerName, std::string_view userName);

// The names that get a slot: of the first kMaximumNameSlots names, each non-empty one cut to
// 15 bytes, unless a name already taken equals it apart from case.
std::vector<std::string> SlotNames(const std::vector<std::string>& names);

}  // namespace tavik::netbios
