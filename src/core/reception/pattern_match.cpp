#include "core/reception/pattern_match.h"

namespace tavik {

bool MatchPattern(std::string_view subject, std::string_view pattern) {
    const std::size_t n = subject.size();
    const std::size_t m = pattern.size();
    if (m == 0) {
        return false;
    }
    std::size_t i = 0;
    std::size_t j = 0;
    // An empty subject skips straight to the tail check, so "*" matches it and "?" does not.
    if (n != 0) {
        while (j < m) {
            if (pattern[j] == '*') {
                // A run of "*" and "?" consumes no subject byte; the byte after it is
                // searched once, from i on, and the first hit is final.
                while (j < m && (pattern[j] == '*' || pattern[j] == '?')) {
                    ++j;
                }
                if (j < m) {
                    const std::size_t hit = subject.find(pattern[j], i);
                    if (hit == std::string_view::npos) {
                        return false;
                    }
                    i = hit;
                }
            } else if (pattern[j] != '?' && pattern[j] != subject[i]) {
                return false;
            }
            ++i;
            ++j;
            if (i >= n) {
                break;
            }
        }
    }
    if (i < n && pattern[m - 1] != '*') {
        return false;
    }
    while (j < m && pattern[j] == '*') {
        ++j;
    }
    return j >= m;
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
