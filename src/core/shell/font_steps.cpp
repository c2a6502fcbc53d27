#include "core/shell/font_steps.h"

#include <algorithm>

namespace tavik {

std::optional<std::uint32_t> LargerFontSize(std::uint32_t size) {
    if (size >= 15) return std::nullopt;
    return size >= 12 ? size + 2 : size + 1;
}

std::optional<std::uint32_t> SmallerFontSize(std::uint32_t size) {
    if (size <= 7) return std::nullopt;
    return size >= 12 ? size - 2 : size - 1;
}

std::uint32_t UsableFontSize(std::uint32_t size) { return std::clamp(size, kSmallestUsableFontSize, kLargestUsableFontSize); }

int MessageFontHeight(std::uint32_t size) { return -(25 * static_cast<int>(UsableFontSize(size))) / 18; }

}  // namespace tavik
