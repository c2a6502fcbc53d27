#include "shell/fonts.h"

#include "core/shell/font_steps.h"
#include "resource_ids.h"

namespace tavik::shell {

HFONT HeadingFont = nullptr;
HFONT MessageFont = nullptr;
HFONT DialogFont = nullptr;

namespace {

HFONT MakeVerdana(int height, int weight, const TEXTMETRICA& metrics) {
    return CreateFontA(height, 0, 0, 0, weight, metrics.tmItalic, metrics.tmUnderlined, metrics.tmStruckOut,
                       metrics.tmCharSet, 0, 0, 0, metrics.tmPitchAndFamily, "Verdana");
}

}  // namespace

void BuildFonts(HWND mainWindow, std::uint32_t size) {
    HDC dc = GetDC(mainWindow);
    TEXTMETRICA metrics{};
    if (dc != nullptr && GetTextMetricsA(dc, &metrics)) {
        if (HeadingFont == nullptr) {
            HeadingFont = MakeVerdana(-(175 * metrics.tmHeight) / 254, FW_BOLD, metrics);
        }
        int height = MessageFontHeight(size);
        HFONT replacement = MakeVerdana(height, FW_NORMAL, metrics);
        SendDlgItemMessageA(mainWindow, IDC_MESSAGE_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(replacement), TRUE);
        // The control no longer uses the old font once the new one is set.
        if (MessageFont != nullptr) DeleteObject(MessageFont);
        MessageFont = replacement;
    }
    if (DialogFont == nullptr) {
        DialogFont = reinterpret_cast<HFONT>(SendMessageA(mainWindow, WM_GETFONT, 0, 0));
    }
    if (dc != nullptr) ReleaseDC(mainWindow, dc);
}

void ReleaseFonts() {
    if (HeadingFont != nullptr) DeleteObject(HeadingFont);
    if (MessageFont != nullptr) DeleteObject(MessageFont);
    HeadingFont = nullptr;
    MessageFont = nullptr;
    DialogFont = nullptr;  // owned by the dialog
}

std::uint32_t StepFontLarger(std::uint32_t size) {
    if (auto larger = LargerFontSize(size)) return *larger;
    MessageBeep(MB_ICONQUESTION);
    return size;
}

std::uint32_t StepFontSmaller(std::uint32_t size) {
    if (auto smaller = SmallerFontSize(size)) return *smaller;
    MessageBeep(MB_ICONQUESTION);
    return size;
}

}  // namespace tavik::shell
