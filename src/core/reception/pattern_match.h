#pragma once
// Sender wildcard lists ("AllMess", "DontRecvMess", "HigthPriorMess"): ";"-separated
// patterns where "*" and "?" are special and every other byte must match exactly.

#include <string_view>

namespace tavik {

// True when subject matches pattern: "*" matches any run of bytes (the empty one too), "?"
// exactly one byte, every other byte itself. Only pattern's own bytes count (a pattern is a
// stretch of a list). Case-sensitive; an empty pattern never matches. Takes time at most
// proportional to the subject's length times the pattern's, whatever the pattern.
bool MatchPattern(std::string_view subject, std::string_view pattern);

// True when subject matches at least one pattern of the ";"-separated list. Blanks
// belong to patterns; empty patterns (";;", leading or trailing ";") match nothing.
bool MatchPatternList(std::string_view subject, std::string_view list);

}  // namespace tavik
