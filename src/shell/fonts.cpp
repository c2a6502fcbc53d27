#include "shell/fonts.h"

#include <map>
#include <utility>

#include "core/shell/font_steps.h"
#include "resource_ids.h"
#include "win/dpi.h"
#include "win/scoped_handles.h"

namespace tavik::shell {
namespace {

// The heading and dialog fonts of one DPI. Those of a DPI left behind are kept until exit: an open
// options sheet may still be using them.
struct FontsOfDpi {
    win::Font heading;
    win::Font dialog;  // empty at the DPI the dialog was made for: its own font serves there
};

std::map<UINT, FontsOfDpi> fontsByDpi;
win::Font messageFont;
HFONT templateFont = nullptr;   // the dialog's own, owned by the dialog
UINT templateDpi = 0;           // the DPI the dialog was made for
UINT fontDpi = 0;               // the DPI the fonts are made for: the main window's
std::uint32_t messageSize = 0;  // the point size the message font was last made for

HFONT MakeVerdana(int height, int weight, const TEXTMETRICA& metrics) {
    return CreateFontA(height, 0, 0, 0, weight, metrics.tmItalic, metrics.tmUnderlined, metrics.tmStruckOut,
                       metrics.tmCharSet, 0, 0, 0, metrics.tmPitchAndFamily, "Verdana");
}

// The dialog's font remade at another DPI.
HFONT ScaledTemplateFont(UINT dpi) {
    LOGFONTA description{};
    if (templateFont == nullptr || GetObjectA(templateFont, sizeof description, &description) == 0) return nullptr;
    description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(dpi), static_cast<int>(templateDpi));
    return CreateFontIndirectA(&description);
}

}  // namespace

HFONT HeadingFont() {
    auto found = fontsByDpi.find(fontDpi);
    return found != fontsByDpi.end() ? found->second.heading.Get() : nullptr;
}

HFONT MessageFont() { return messageFont.Get(); }

HFONT DialogFont() {
    auto found = fontsByDpi.find(fontDpi);
    return found != fontsByDpi.end() && found->second.dialog ? found->second.dialog.Get() : templateFont;
}

void BuildFonts(HWND mainWindow, std::uint32_t size) {
    messageSize = size;
    if (fontDpi == 0) fontDpi = win::WindowDpi(mainWindow);
    if (templateFont == nullptr) {
        templateFont = reinterpret_cast<HFONT>(SendMessageA(mainWindow, WM_GETFONT, 0, 0));
        templateDpi = fontDpi;
    }
    FontsOfDpi& fonts = fontsByDpi[fontDpi];
    if (!fonts.dialog && fontDpi != templateDpi) fonts.dialog.Reset(ScaledTemplateFont(fontDpi));

    win::WindowDc dc(mainWindow);
    TEXTMETRICA metrics{};
    if (dc.Get() == nullptr || !GetTextMetricsA(dc.Get(), &metrics)) return;
    if (!fonts.heading) {
        // The window's own text is sized for the system's DPI.
        int height =
            MulDiv(-(175 * metrics.tmHeight) / 254, static_cast<int>(fontDpi), static_cast<int>(win::SystemDpi()));
        fonts.heading.Reset(MakeVerdana(height, FW_BOLD, metrics));
    }
    win::Font replacement(MakeVerdana(win::ScaleForDpi(MessageFontHeight(size), fontDpi), FW_NORMAL, metrics));
    SendDlgItemMessageA(mainWindow, IDC_MESSAGE_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(replacement.Get()), TRUE);
    // The control no longer uses the old font once the new one is set.
    messageFont = std::move(replacement);
}

void FollowDpiWithFonts(HWND mainWindow, UINT dpi) {
    fontDpi = dpi;
    BuildFonts(mainWindow, messageSize);
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != IDC_MESSAGE_TEXT) {
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
        }
    }
}

void ReleaseFonts() {
    messageFont.Reset();
    fontsByDpi.clear();
    templateFont = nullptr;
    templateDpi = 0;
    fontDpi = 0;
    messageSize = 0;
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
