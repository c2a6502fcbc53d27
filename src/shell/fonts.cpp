#include "shell/fonts.h"

#include <utility>

#include "core/shell/font_steps.h"
#include "resource_ids.h"
#include "win/scoped_handles.h"

namespace tavik::shell {
namespace {

win::Font headingFont;
win::Font messageFont;
HFONT dialogFont = nullptr;  // owned by the dialog

HFONT MakeVerdana(int height, int weight, const TEXTMETRICA& metrics) {
    return CreateFontA(height, 0, 0, 0, weight, metrics.tmItalic, metrics.tmUnderlined, metrics.tmStruckOut,
                       metrics.tmCharSet, 0, 0, 0, metrics.tmPitchAndFamily, "Verdana");
}

}  // namespace

HFONT HeadingFont() { return headingFont.Get(); }
HFONT MessageFont() { return messageFont.Get(); }
HFONT DialogFont() { return dialogFont; }

void BuildFonts(HWND mainWindow, std::uint32_t size) {
    win::WindowDc dc(mainWindow);
    TEXTMETRICA metrics{};
    if (dc.Get() != nullptr && GetTextMetricsA(dc.Get(), &metrics)) {
        if (!headingFont) headingFont.Reset(MakeVerdana(-(175 * metrics.tmHeight) / 254, FW_BOLD, metrics));
        win::Font replacement(MakeVerdana(MessageFontHeight(size), FW_NORMAL, metrics));
        SendDlgItemMessageA(mainWindow, IDC_MESSAGE_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(replacement.Get()),
                            TRUE);
        // The control no longer uses the old font once the new one is set.
        messageFont = std::move(replacement);
    }
    if (dialogFont == nullptr) dialogFont = reinterpret_cast<HFONT>(SendMessageA(mainWindow, WM_GETFONT, 0, 0));
}

void ReleaseFonts() {
    headingFont.Reset();
    messageFont.Reset();
    dialogFont = nullptr;
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
