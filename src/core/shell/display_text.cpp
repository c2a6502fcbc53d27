#include "core/shell/display_text.h"

#include <algorithm>

namespace tavik::shell {

DisplayText MakeDisplayText(std::string_view original, std::size_t maxRun, bool plainTildes) {
    DisplayText display;
    display.original = original;
    display.text.reserve(original.size() + original.size() / std::max<std::size_t>(maxRun, 1) * 2);
    std::size_t runStart = 0;  // in display.text
    for (char c : original) {
        if (c == '\r' || c == '\n') {
            display.text.push_back(c);
            runStart = display.text.size();
            continue;
        }
        if (maxRun > 0 && display.text.size() - runStart >= maxRun) {
            std::size_t blank = display.text.find_last_of(' ');
            std::size_t cut = (blank != std::string::npos && blank >= runStart) ? blank + 1 : display.text.size();
            if (cut <= runStart) cut = display.text.size();
            display.text.insert(cut, "\r\n");
            display.inserted.push_back(cut);
            runStart = cut + 2;
        }
        display.text.push_back(plainTildes && c == kSmallTilde ? '~' : c);
    }
    return display;
}

std::string WithPlainTildes(std::string_view text) {
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), kSmallTilde, '~');
    return plain;
}

std::string OriginalOfRange(const DisplayText& display, std::size_t begin, std::size_t end) {
    end = std::min(end, display.text.size());
    std::string original;
    if (begin >= end) return original;
    original.reserve(end - begin);
    auto next = std::lower_bound(display.inserted.begin(), display.inserted.end(), begin > 0 ? begin - 1 : 0);
    for (std::size_t at = begin; at < end;) {
        while (next != display.inserted.end() && *next + 2 <= at) ++next;
        if (next != display.inserted.end() && at >= *next && at < *next + 2) {
            at = *next + 2;  // inside an added break
            continue;
        }
        std::size_t stop = next != display.inserted.end() ? std::min(end, *next) : end;
        // Each added break before `at` shifts the display by two bytes against the message.
        const std::size_t breaksBefore = static_cast<std::size_t>(next - display.inserted.begin());
        original.append(display.original, at - 2 * breaksBefore, stop - at);
        at = stop;
    }
    return original;
}

}  // namespace tavik::shell
