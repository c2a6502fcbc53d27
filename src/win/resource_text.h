#pragma once
// Texts of a resource module and the program's standard boxes.

#include <windows.h>

#include <string>

namespace tavik::win {

// Loads string id of module; bufferSize bounds it as a fixed buffer would (at most size - 1 characters).
std::string LoadResourceString(HINSTANCE module, UINT id, int bufferSize = 256);

// A stop box with an OK button.
void ShowStopBox(HWND owner, const std::string& caption, const std::string& text);

// A question with Yes and No, No the default. True only for the answer Yes (a box that fails is a No).
bool AskYesNo(HWND owner, const std::string& caption, const std::string& question);

}  // namespace tavik::win
