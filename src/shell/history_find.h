#pragma once
// Find in the history, as the main window offers it: the system's modeless find dialog (Ctrl+F),
// the last search, which F3 repeats in the dialog's direction and Shift+F3 the other way, and the
// box that says a search found nothing. The search itself is the core's (history_search.h).

#include <windows.h>

#include <commdlg.h>

#include <array>
#include <optional>

#include "core/store/case_folding.h"
#include "core/store/history_search.h"

namespace tavik::shell {

class HistoryFind {
public:
    HistoryFind();
    HistoryFind(const HistoryFind&) = delete;
    HistoryFind& operator=(const HistoryFind&) = delete;

    // The window that owns the dialog and gets its messages.
    void Attach(HWND mainWindow) { mainWindow_ = mainWindow; }

    // The registered message (FINDMSGSTRING) the dialog sends to the main window.
    static UINT DialogMessage();
    // The open dialog, for the message loop; nullptr while none is open.
    HWND Dialog() const;

    // Ctrl+F: opens the dialog with the last text, or brings the open one forward.
    void OpenDialog();
    // On DialogMessage(): the search that Find Next asks for; nothing when the dialog closed.
    std::optional<store::SearchRequest> TakeDialogMessage(LPARAM record);
    // F3 (reverse false) and Shift+F3 (reverse true): the last search again; while there is none
    // yet, the dialog opens instead and nothing is returned.
    std::optional<store::SearchRequest> Again(bool reverse);

    // Tells the user that request found nothing: a box owned by the dialog while it is open.
    void SayNotFound(const store::SearchRequest& request) const;
    // How letters compare when case is ignored, for the system's ANSI code page.
    const store::CaseFolding& Folding() const { return folding_; }

private:
    HWND mainWindow_ = nullptr;
    HWND dialog_ = nullptr;  // the system destroys it when it closes, or with its owner
    // The dialog reads and writes these while it is open: they live as long as the program.
    FINDREPLACEA record_{};
    std::array<char, 256> text_{};
    std::optional<store::SearchRequest> last_;
    const store::CaseFolding& folding_;
};

}  // namespace tavik::shell
