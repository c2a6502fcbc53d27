// The About box: one at a time, modal to the main window.
#include "resource_ids.h"
#include "shell/shell_state.h"
#include "win/dialog.h"

namespace tavik::shell {
namespace {

HWND AboutWindow = nullptr;

// OK and Cancel end it (the base does that); its window is known while it runs.
class AboutBox final : public win::Dialog {
protected:
    bool OnInit() override {
        AboutWindow = Window();
        return true;
    }
};

}  // namespace

void ShowAbout() {
    if (AboutWindow != nullptr && SetForegroundWindow(AboutWindow)) return;
    AboutBox box;
    box.RunModal(ResourceModule, IDD_ABOUT, MainWindow);
    AboutWindow = nullptr;
    if (MainWindow != nullptr && !IsWindowVisible(MainWindow)) ActivateNextWindow();
}

}  // namespace tavik::shell
