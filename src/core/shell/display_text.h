#pragma once
// A message text as the text box shows it. A run of many characters without a line break
// takes the text box seconds to lay out, so such runs get line breaks for display only; a
// copy from the box maps its selection back to the bytes of the message.
//
// Wine's text shaping (8.0) reads before its first glyph when U+02DC SMALL TILDE, 0x98 in
// Windows-1252, begins a run: at a line start, after a digit, a sign or a tab. That crashes the
// program drawing it, so on Wine the controls show it as a plain "~".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::shell {

// Runs longer than this get display line breaks.
inline constexpr std::size_t kLongestDisplayRun = 1024;

inline constexpr char kSmallTilde = '\x98';

struct DisplayText {
    std::string original;               // the message's bytes
    std::string text;                   // what the box shows
    std::vector<std::size_t> inserted;  // positions in text of the CR LF pairs that were added, ascending
};

// Cuts every run of more than maxRun bytes without CR or LF, at the last blank of its first
// maxRun bytes when there is one (the blank stays), else after maxRun bytes.
// plainTildes: each kSmallTilde shown as "~".
DisplayText MakeDisplayText(std::string_view original, std::size_t maxRun = kLongestDisplayRun,
                            bool plainTildes = false);

// The text with each kSmallTilde as "~" (for texts shown whole, such as the sender).
std::string WithPlainTildes(std::string_view text);

// The original bytes of the displayed range [begin, end): added line breaks left out.
std::string OriginalOfRange(const DisplayText& display, std::size_t begin, std::size_t end);

}  // namespace tavik::shell
