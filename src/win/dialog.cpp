#include "win/dialog.h"

#include <vector>

namespace tavik::win {

std::string DialogItemText(HWND dialog, int controlId, std::size_t maxLength) {
    std::vector<char> text(maxLength + 1, '\0');
    UINT length = GetDlgItemTextA(dialog, controlId, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length);
}

INT_PTR Dialog::RunModal(HINSTANCE module, int templateId, HWND owner) {
    modal_ = true;
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HINSTANCE module, int templateId, HWND owner) {
    modal_ = false;
    return CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this));
}

bool Dialog::OnCommand(WORD id, WORD, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        End(id);
        return true;
    }
    return false;
}

bool Dialog::OnNotify(const NMHDR&, LRESULT&) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void Dialog::End(INT_PTR result) {
    if (window_ == nullptr) return;
    if (modal_) {
        EndDialog(window_, result);
    } else {
        DestroyWindow(window_);
    }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: {
        INT_PTR result = 0;
        return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
    }
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        if (auto* dialog = reinterpret_cast<Dialog*>(lParam)) dialog->Attach(window);
    }
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;  // messages before WM_INITDIALOG
    INT_PTR result = dialog->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->Attach(nullptr);
    }
    return result;
}

}  // namespace tavik::win
