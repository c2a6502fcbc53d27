#include "core/shell/font_steps.h"

namespace tavik {

std::optional<std::uint32_t> LargerFontSize(std::uint32_t size) {
    if (size >= 15) return std::nullopt;
    return size >= 12 ? size + 2 : size + 1;
}

std::optional<std::uint32_t> SmallerFontSize(std::uint32_t size) {
    if (size <= 7) return std::nullopt;
    return size >= 12 ? size - 2 : size - 1;
}

int MessageFontHeight(std::uint32_t size) { return -(25 * static_cast<int>(size)) / 18; }

}  // namespace tavik
