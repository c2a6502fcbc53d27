#pragma once
// Numbers at the start of a text, read the way a plain string-to-integer conversion reads them.

#include <cstdint>
#include <string_view>

namespace tavik {

// Leading white space, an optional sign, then the digits up to the first other byte; no digits
// give 0. A number beyond the 32-bit range stays at the range's end.
std::int32_t ReadLeadingInteger(std::string_view text);

}  // namespace tavik
