#include "shell/options_launch.h"

#include "options/options_sheet.h"
#include "shell/fonts.h"
#include "shell/listeners.h"
#include "shell/program.h"
#include "settings/registry_settings.h"
#include "shell/shell_state.h"

namespace tavik::shell {

void OpenOptions(HWND mainWindow) {
    options::OptionsContext context;
    context.mainWindow = mainWindow;
    context.program = AppInstance;
    context.resources = ResourceModule;
    context.dialogFont = DialogFont();
    context.headingFont = HeadingFont();
    context.saveMessagesPage = [](const MessagesPageValues& page) { return settings::ApplyMessagesPage(page); };
    context.saveMailPage = [](const MailPageValues& page) { return settings::ApplyMailPage(page); };
    context.previewFontSize = [mainWindow](std::uint32_t size) { BuildFonts(mainWindow, size); };
    context.applySettings = [mainWindow] {
        StopNetworkListeners(mainWindow);
        // The session may have ended while the listeners stopped: nothing starts again then.
        if (ReceptionFinished()) return;
        StartNetworkListeners(mainWindow);
        RegisterRestoreHotKey(mainWindow);
    };
    context.sheetClosed = [mainWindow] {
        if (!IsWindowVisible(mainWindow)) ActivateNextWindow();
    };
    options::OpenOptionsSheet(context);
}

}  // namespace tavik::shell
