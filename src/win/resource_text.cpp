#include "win/resource_text.h"

#include <vector>

namespace tavik::win {

std::string LoadResourceString(HINSTANCE module, UINT id, int bufferSize) {
    if (bufferSize < 1) return {};
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    int length = LoadStringA(module, id, buffer.data(), bufferSize);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

void ShowStopBox(HWND owner, const std::string& caption, const std::string& text) {
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONHAND);
}

bool AskYesNo(HWND owner, const std::string& caption, const std::string& question) {
    return MessageBoxA(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace tavik::win
