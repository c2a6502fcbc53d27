#include "core/text/leading_integer.h"

#include <algorithm>
#include <limits>

namespace tavik {
namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::int32_t ReadLeadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    // One past the 32-bit limit is enough to know the number saturates.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value < kLimit) value = value * 10 + (text[at] - '0');
    }
    if (negative) return static_cast<std::int32_t>(-std::min(value, kLimit));
    return static_cast<std::int32_t>(std::min(value, kLimit - 1));
}

}  // namespace tavik
