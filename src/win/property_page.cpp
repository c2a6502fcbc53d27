#include "win/property_page.h"

namespace tavik::win {

PROPSHEETPAGEA PropertyPage::Describe(HINSTANCE module, int templateId, const char* title) {
    PROPSHEETPAGEA page{};
    // The sheet steps through an array of pages by their sizes, so the size is the whole structure's.
    page.dwSize = sizeof(PROPSHEETPAGEA);
    if (title != nullptr) {
        page.dwFlags = PSP_USETITLE;
        page.pszTitle = title;
    }
    page.hInstance = module;
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pfnDlgProc = PageProcedure;
    page.lParam = reinterpret_cast<LPARAM>(static_cast<Dialog*>(this));
    return page;
}

void PropertyPage::MarkChanged() {
    if (Window() != nullptr) PropSheet_Changed(GetParent(Window()), Window());
}

bool PropertyPage::OnNotify(const NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case PSN_KILLACTIVE: result = OnLeave() ? FALSE : TRUE; return true;
    case PSN_APPLY: result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; return true;
    case PSN_QUERYCANCEL: result = OnCancel() ? FALSE : TRUE; return true;
    default: return false;
    }
}

// The sheet passes the page description, not the object, with WM_INITDIALOG.
INT_PTR CALLBACK PropertyPage::PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        return Procedure(window, message, wParam, page != nullptr ? page->lParam : 0);
    }
    return Procedure(window, message, wParam, lParam);
}

}  // namespace tavik::win
