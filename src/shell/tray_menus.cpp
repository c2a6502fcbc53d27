#include "shell/tray_menus.h"

#include "core/settings/settings_store.h"
#include "mail/mail_account.h"
#include "resource_ids.h"
#include "shell/shell_state.h"
#include "win/popup_menu.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

void ShowMessageIconMenu(HWND mainWindow) {
    win::Menu menu(LoadMenuA(ResourceModule, MAKEINTRESOURCEA(IDM_TRAY_MENUS)));
    HMENU subMenu = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (subMenu == nullptr) return;
    auto settings = ProcessSettings().Current();
    mail::MailAccountView account = mail::CurrentMailAccount();
    if (account.userName.empty() || account.server.empty() || settings->DisableMailNotification != 0) {
        EnableMenuItem(subMenu, TRAY_POS_CHECK_MAIL, MF_BYPOSITION | MF_GRAYED);
    }
    if (IsWindowVisible(mainWindow)) EnableMenuItem(subMenu, TRAY_POS_OPEN, MF_BYPOSITION | MF_GRAYED);
    if (settings->DisableCustomization != 0) RemoveMenu(subMenu, TRAY_POS_OPTIONS, MF_BYPOSITION);
    SetMenuDefaultItem(subMenu, TRAY_POS_OPEN, TRUE);
    win::TrackMenuAtCursor(mainWindow, subMenu, kWindowBookkeeping);
}

}  // namespace

LRESULT OnMessageIconEvent(HWND mainWindow, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: PostMessageA(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0); break;
    case WM_RBUTTONDOWN: ShowMessageIconMenu(mainWindow); break;
    default: return TRUE;  // mouse moves come many times a second: nothing to do for them
    }
    TrimWorkingSet();
    return TRUE;
}

}  // namespace tavik::shell
