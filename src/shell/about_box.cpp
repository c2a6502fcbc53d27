// The About box: one at a time, modal to the main window.
#include "resource_ids.h"
#include "shell/shell_state.h"

namespace tavik::shell {
namespace {

HWND AboutWindow = nullptr;

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        AboutWindow = dialog;
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowAbout() {
    if (AboutWindow != nullptr && SetForegroundWindow(AboutWindow)) return;
    DialogBoxParamA(ResourceModule, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutProc, 0);
    AboutWindow = nullptr;
    if (MainWindow != nullptr && !IsWindowVisible(MainWindow)) ActivateNextWindow();
}

}  // namespace tavik::shell
