#include "win/help.h"

#include <shellapi.h>

#include <string>

namespace tavik::win {
namespace {

std::string HelpFilePath() {
    char module[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module, length);
    size_t slash = path.find_last_of('\\');
    path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return path + kHelpFileName;
}

}  // namespace

void OpenHelp(HWND owner, int controlId) {
    std::string path = HelpFilePath();
    if (controlId == 0) {
        ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    // A topic needs a URL with a fragment, which only a browser understands.
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    std::string url = "file:///" + path + "#ctl-" + std::to_string(controlId);
    ShellExecuteA(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tavik::win
