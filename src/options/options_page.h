#pragma once
// What both options pages share: taking the sheet as theirs when made (fonts, the open sheet),
// context help on their controls, and the file browse dialog.

#include <windows.h>

#include <optional>
#include <string>

#include "options/options_context.h"
#include "win/property_page.h"

namespace tavik::options {

// The open options sheet, or nullptr.
HWND OptionsSheetWindow();
void ForgetOptionsSheet();

class OptionsPage : public win::PropertyPage {
public:
    explicit OptionsPage(const OptionsContext& context) : context_(context) {}

    // The sheet closed with OK while this page existed.
    bool Applied() const { return applied_; }

protected:
    // Called first on WM_INITDIALOG: records the sheet and gives its buttons, tabs and the page's
    // headings their fonts.
    void TakeSheet();

    // F1 or the question mark on a control opens the help at the control's topic.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // The open-file dialog on one kind of file, starting at current when such a file exists, else
    // at fallback. The chosen path, or nullopt when the user cancels.
    std::optional<std::string> BrowseForFile(UINT titleId, UINT filterId, const char* pattern,
                                             const std::string& current, const std::string& fallback);

    bool Checked(int controlId) const { return IsDlgButtonChecked(Window(), controlId) == BST_CHECKED; }
    void Check(int controlId, bool on) { CheckDlgButton(Window(), controlId, on ? BST_CHECKED : BST_UNCHECKED); }
    void SetText(int controlId, const std::string& text) { SetDlgItemTextA(Window(), controlId, text.c_str()); }
    std::string Text(int controlId) const;

    bool OnApply() override {
        applied_ = true;
        return true;
    }

    const OptionsContext& context_;

private:
    bool applied_ = false;
};

}  // namespace tavik::options
