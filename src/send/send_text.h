#pragma once
// The text tavik-send sends: its words, or standard input for a lone "-".

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::send {

// The words joined by blanks; a lone "-" reads all of input, less its final line end.
std::string MessageText(const std::vector<std::string>& words, std::istream& input);

// Line feeds not already after a CR become CR LF, as Windows programs show them.
std::string WithCrLf(std::string_view text);

}  // namespace tavik::send
