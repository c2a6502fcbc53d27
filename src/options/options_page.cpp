#include "options/options_page.h"

#include <commdlg.h>

#include <vector>

#include "core/settings/settings_writers.h"
#include "resource_ids.h"
#include "win/dialog.h"
#include "win/help.h"
#include "win/scoped_handles.h"
#include "win/resource_text.h"

namespace tavik::options {
namespace {

// Used on the main window's thread only.
HWND SheetWindow = nullptr;

constexpr int kTabControl = 0x3020;  // the property sheet's tab control
constexpr DWORD kBrowseFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

bool FileExists(const std::string& name) {
    WIN32_FIND_DATAA found{};
    win::FindHandle search(FindFirstFileA(name.c_str(), &found));
    return static_cast<bool>(search);
}

}  // namespace

HWND OptionsSheetWindow() { return SheetWindow; }
void ForgetOptionsSheet() { SheetWindow = nullptr; }

void OptionsPage::TakeSheet() {
    SheetWindow = GetParent(Window());
    if (context_.dialogFont != nullptr) {
        for (int id : {IDOK, IDCANCEL, kTabControl}) {
            if (HWND control = GetDlgItem(SheetWindow, id)) {
                SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(context_.dialogFont), TRUE);
            }
        }
    }
    if (context_.headingFont != nullptr) {
        for (int id : {IDC_HEADING_1, IDC_HEADING_2}) {
            SendDlgItemMessageA(Window(), id, WM_SETFONT, reinterpret_cast<WPARAM>(context_.headingFont), TRUE);
        }
    }
}

bool OptionsPage::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (message != WM_HELP) return false;
    const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
    if (help != nullptr && help->iContextType == HELPINFO_WINDOW) win::OpenHelp(Window(), help->iCtrlId);
    result = TRUE;
    return true;
}

std::optional<std::string> OptionsPage::BrowseForFile(UINT titleId, UINT filterId, const char* pattern,
                                                      const std::string& current, const std::string& fallback) {
    const std::string title = win::LoadResourceString(context_.resources, titleId);
    const std::string description = win::LoadResourceString(context_.resources, filterId);
    // The filter is pairs of NUL-ended texts, ended by one more NUL.
    std::string filter = description + '\0' + pattern + '\0' + '\0';
    std::vector<char> file(MAX_PATH, '\0');
    const std::string& start = FileExists(current) ? current : fallback;
    start.copy(file.data(), file.size() - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = kBrowseFlags;
    if (!GetOpenFileNameA(&dialog)) return std::nullopt;
    return std::string(file.data());
}

std::string OptionsPage::Text(int controlId) const {
    return win::DialogItemText(Window(), controlId, kMaxPageTextLength);
}

}  // namespace tavik::options
