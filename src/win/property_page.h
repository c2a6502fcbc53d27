#pragma once
// One page of a property sheet over the dialog base: it is told when the user leaves it and
// when the sheet applies, and may refuse either.

#include <windows.h>
#include <prsht.h>

#include "win/dialog.h"

namespace tavik::win {

class PropertyPage : public Dialog {
public:
    // The page's description for PropertySheetA; the object and title must outlive the sheet.
    PROPSHEETPAGEA Describe(HINSTANCE module, int templateId, const char* title = nullptr);

protected:
    // The user leaves the page (another tab, OK, Apply); false keeps it open.
    virtual bool OnLeave() { return true; }
    // The sheet applies its changes (OK, Apply); false keeps the sheet open.
    virtual bool OnApply() { return true; }
    // The user cancels the sheet while this page is current; false keeps the sheet open.
    virtual bool OnCancel() { return true; }
    // Marks the sheet as changed, which enables its Apply button.
    void MarkChanged();

    bool OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace tavik::win
