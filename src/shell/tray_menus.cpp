#include "shell/tray_menus.h"

#include <shellapi.h>

#include "core/settings/settings_store.h"
#include "mail/mail_hooks.h"
#include "resource_ids.h"
#include "shell/shell_state.h"

namespace tavik::shell {
namespace {

constexpr size_t kCommandLineLimit = 260;

void TrackSubMenu(HWND mainWindow, HMENU menu, HMENU subMenu) {
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(mainWindow);
    TrackPopupMenu(subMenu, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, mainWindow, nullptr);
    PostMessageA(mainWindow, WM_USER, 0, 0);
    DestroyMenu(menu);
}

void ShowMessageIconMenu(HWND mainWindow) {
    HMENU menu = LoadMenuA(ResourceModule, MAKEINTRESOURCEA(IDM_TRAY_MENUS));
    HMENU subMenu = menu != nullptr ? GetSubMenu(menu, 0) : nullptr;
    if (subMenu == nullptr) {
        if (menu != nullptr) DestroyMenu(menu);
        return;
    }
    auto settings = ProcessSettings().Current();
    MailAccountView account = CurrentMailAccount();
    if (account.userName.empty() || account.server.empty() || settings->DisableMailNotification != 0) {
        EnableMenuItem(subMenu, TRAY_POS_CHECK_MAIL, MF_BYPOSITION | MF_GRAYED);
    }
    if (IsWindowVisible(mainWindow)) EnableMenuItem(subMenu, TRAY_POS_OPEN, MF_BYPOSITION | MF_GRAYED);
    if (settings->DisableCustomization != 0) RemoveMenu(subMenu, TRAY_POS_OPTIONS, MF_BYPOSITION);
    SetMenuDefaultItem(subMenu, TRAY_POS_OPEN, TRUE);
    TrackSubMenu(mainWindow, menu, subMenu);
}

void ShowMailIconMenu(HWND mainWindow) {
    HMENU menu = LoadMenuA(ResourceModule, MAKEINTRESOURCEA(IDM_TRAY_MENUS));
    HMENU subMenu = menu != nullptr ? GetSubMenu(menu, 1) : nullptr;
    if (subMenu == nullptr) {
        if (menu != nullptr) DestroyMenu(menu);
        return;
    }
    SetMenuDefaultItem(subMenu, MAIL_POS_LAUNCH, TRUE);
    if (EmailProgramCommand().empty()) EnableMenuItem(subMenu, MAIL_POS_LAUNCH, MF_BYPOSITION | MF_GRAYED);
    TrackSubMenu(mainWindow, menu, subMenu);
}

}  // namespace

LRESULT OnMessageIconEvent(HWND mainWindow, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        PostMessageA(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    case WM_RBUTTONDOWN:
        ShowMessageIconMenu(mainWindow);
        break;
    default:
        break;
    }
    TrimWorkingSet();
    return TRUE;
}

LRESULT OnMailIconEvent(HWND mainWindow, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        SendMessageA(mainWindow, WM_COMMAND, CMD_LAUNCH_EMAIL, 0);
        break;
    case WM_RBUTTONDOWN:
        ShowMailIconMenu(mainWindow);
        break;
    default:
        break;
    }
    TrimWorkingSet();
    return TRUE;
}

std::string EmailProgramCommand() {
    std::string command = CurrentMailAccount().emailProgram;
    if (command.size() > kCommandLineLimit) command.resize(kCommandLineLimit);
    return command;
}

void LaunchEmailProgram(HWND mainWindow) {
    std::string command = EmailProgramCommand();
    WinExec(command.c_str(), SW_SHOW);
    RemoveMailIcons(mainWindow);
}

void RemoveMailIcons(HWND mainWindow) {
    for (UINT id : {static_cast<UINT>(TRAY_ID_MAIL_ERROR), static_cast<UINT>(TRAY_ID_NEW_MAIL)}) {
        NOTIFYICONDATAA record{};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = mainWindow;
        record.uID = id;
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
}

}  // namespace tavik::shell
