#include "core/reception/pattern_match.h"

namespace tavik {

bool MatchPattern(std::string_view subject, std::string_view pattern) {
    if (pattern.empty()) return false;
    // Greedy matching that remembers only the last "*": on a mismatch the "*" takes one more
    // byte and matching goes on from there. An earlier "*" never needs to take more, so the
    // work is bounded by the subject's length times the pattern's.
    std::size_t i = 0, j = 0;
    std::size_t star = std::string_view::npos;  // pattern position after the last "*"
    std::size_t starSubject = 0;                // subject position that "*" has reached
    while (i < subject.size()) {
        if (j < pattern.size() && pattern[j] == '*') {
            star = ++j;
            starSubject = i;
        } else if (j < pattern.size() && (pattern[j] == '?' || pattern[j] == subject[i])) {
            ++i;
            ++j;
        } else if (star != std::string_view::npos) {
            j = star;
            i = ++starSubject;
        } else {
            return false;
        }
    }
    while (j < pattern.size() && pattern[j] == '*') ++j;
    return j == pattern.size();
}

bool MatchPatternList(std::string_view subject, std::string_view list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (MatchPattern(subject, list.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace tavik
