#pragma once
// What the options sheet needs of the program: its window, modules and fonts, and the program's
// own steps for saving a page, previewing the text size and putting new settings into effect.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "core/settings/settings_writers.h"

namespace tavik::options {

struct OptionsContext {
    HWND mainWindow = nullptr;
    HINSTANCE program = nullptr;
    HINSTANCE resources = nullptr;
    HFONT dialogFont = nullptr;   // the sheet's buttons and tabs
    HFONT headingFont = nullptr;  // the pages' group headings
    // Write a page to the settings key and take it into the settings in effect; false when the
    // key could not be opened (nothing saved).
    std::function<bool(const MessagesPageValues&)> saveMessagesPage;
    std::function<bool(const MailPageValues&)> saveMailPage;
    // Shows the message text in this size at once (the size setting is not changed).
    std::function<void(std::uint32_t)> previewFontSize;
    // The sheet closed with OK: listeners, mail schedule and hot key take the new settings.
    std::function<void()> applySettings;
    // The sheet has closed, whichever way.
    std::function<void()> sheetClosed;
};

}  // namespace tavik::options
