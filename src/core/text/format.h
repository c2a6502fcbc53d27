#pragma once
// printf-style substitution for resource texts, without trusting the format:
// "%s" takes the next text argument, "%d"/"%u" the next number, "%%" a percent sign.
// A conversion without an argument left, or of another kind, is copied as it stands.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tavik {

using FormatArgument = std::variant<std::string_view, std::int64_t>;

std::string FormatText(std::string_view format, std::initializer_list<FormatArgument> arguments);

// Cuts a text to at most maxLength bytes (for fixed-size fields such as a 63-character tip).
std::string CutText(std::string_view text, std::size_t maxLength);

}  // namespace tavik
