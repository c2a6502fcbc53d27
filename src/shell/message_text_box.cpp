#include "shell/message_text_box.h"

#include <commctrl.h>

#include <cstring>

#include "core/shell/display_text.h"
#include "resource_ids.h"
#include "win/running_on_wine.h"

namespace tavik::shell {
namespace {

constexpr UINT_PTR kCopySubclassId = 1;

DisplayText Shown;  // what the box holds now

void PutOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            // The clipboard owns the memory once it is taken.
            if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

LRESULT CALLBACK MessageTextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_COPY) {
        DWORD start = 0, end = 0;
        SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (end > start) PutOnClipboard(box, OriginalOfRange(Shown, start, end));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, MessageTextBoxProc, kCopySubclassId);
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void AttachMessageTextBox(HWND mainWindow) {
    if (HWND box = GetDlgItem(mainWindow, IDC_MESSAGE_TEXT)) {
        SetWindowSubclass(box, MessageTextBoxProc, kCopySubclassId, 0);
    }
}

void ShowMessageText(HWND mainWindow, const std::string& text) {
    Shown = MakeDisplayText(text, kLongestDisplayRun, win::RunningOnWine());
    SetDlgItemTextA(mainWindow, IDC_MESSAGE_TEXT, Shown.text.c_str());
}

}  // namespace tavik::shell
