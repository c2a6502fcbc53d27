#pragma once
// Sender wildcard lists ("AllMess", "DontRecvMess", "HigthPriorMess"): ";"-separated
// patterns where "*" and "?" are special and every other byte must match exactly.

#include <string_view>

namespace tavik {

// True when subject matches pattern. Only pattern's own bytes count (a pattern is a
// stretch of a list). Case-sensitive; an empty pattern never matches. The matcher does
// not backtrack: a "*" jumps to the first later occurrence of the byte after it and
// never revisits that choice, so "*x" does not match "xax". Users write their lists
// against this behaviour, so it stays.
bool MatchPattern(std::string_view subject, std::string_view pattern);

// True when subject matches at least one pattern of the ";"-separated list. Blanks
// belong to patterns; empty patterns (";;", leading or trailing ";") match nothing.
bool MatchPatternList(std::string_view subject, std::string_view list);

}  // namespace tavik
