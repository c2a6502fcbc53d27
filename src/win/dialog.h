#pragma once
// A dialog whose procedure reaches a C++ object: a subclass handles initialisation, commands,
// notifications and any other message it wants; the rest goes to the dialog manager.

#include <windows.h>

#include <cstddef>
#include <string>

namespace tavik::win {

// The text of a dialog's control, up to maxLength characters.
std::string DialogItemText(HWND dialog, int controlId, std::size_t maxLength);

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog from template templateId of module, modal to owner. Returns what End
    // was given, or -1 when the dialog could not be made.
    INT_PTR RunModal(HINSTANCE module, int templateId, HWND owner);
    // Makes the dialog modeless; the object must outlive its window.
    HWND CreateModeless(HINSTANCE module, int templateId, HWND owner);

    HWND Window() const { return window_; }

protected:
    // True lets the dialog manager give the focus to the first control.
    virtual bool OnInit() { return true; }
    // True when the command was handled.
    virtual bool OnCommand(WORD id, WORD notification, HWND control);
    // True when the notification was handled; result goes back to the sender.
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    // Any other message; true when handled, with the procedure's result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    virtual void OnDestroy() {}

    // Ends a modal dialog with result; destroys a modeless one.
    void End(INT_PTR result);

    // The dialog procedure's work once the object is known; property pages share it.
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window) { window_ = window; }

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND window_ = nullptr;
    bool modal_ = false;
};

}  // namespace tavik::win
