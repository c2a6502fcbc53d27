#pragma once
// The program's help: an HTML document beside the program, opened at its contents or at a topic.

#include <windows.h>

namespace tavik::win {

inline constexpr const char* kHelpFileName = "Tavik.html";

// Opens the help at its contents, or at the topic of an options control when one is given.
void OpenHelp(HWND owner, int controlId = 0);

}  // namespace tavik::win
