#pragma once
// Font size steps of the message text: 7, 8, 9, 10, 11, 12, 14, 16 up; 16, 14, 12, 10, 9, 8, 7 down.

#include <cstdint>
#include <optional>

namespace tavik {

// nullopt at the end of the range (the program beeps instead).
std::optional<std::uint32_t> LargerFontSize(std::uint32_t size);
std::optional<std::uint32_t> SmallerFontSize(std::uint32_t size);

// A stored size is used within these bounds (the stored value itself is left as it is).
inline constexpr std::uint32_t kSmallestUsableFontSize = 6;
inline constexpr std::uint32_t kLargestUsableFontSize = 72;
std::uint32_t UsableFontSize(std::uint32_t size);

// Height for CreateFont of the message font at a point size (bounded as above).
int MessageFontHeight(std::uint32_t size);

}  // namespace tavik
