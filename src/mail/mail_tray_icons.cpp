#include "mail/mail_tray_icons.h"

#include "mail/mail_account.h"
#include "resource_ids.h"
#include "win/dpi.h"
#include "win/notify_icon.h"
#include "win/popup_menu.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::mail {
namespace {

void ShowMailIconMenu(HWND mainWindow, HINSTANCE resources) {
    win::Menu menu(LoadMenuA(resources, MAKEINTRESOURCEA(IDM_TRAY_MENUS)));
    HMENU subMenu = menu ? GetSubMenu(menu.Get(), 1) : nullptr;
    if (subMenu == nullptr) return;
    SetMenuDefaultItem(subMenu, MAIL_POS_LAUNCH, TRUE);
    if (EmailProgramCommand().empty()) EnableMenuItem(subMenu, MAIL_POS_LAUNCH, MF_BYPOSITION | MF_GRAYED);
    win::TrackMenuAtCursor(mainWindow, subMenu, kWindowBookkeeping);
}

}  // namespace

void OnMailIconEvent(HWND mainWindow, HINSTANCE resources, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK: SendMessageA(mainWindow, WM_COMMAND, CMD_LAUNCH_EMAIL, 0); break;
    case WM_RBUTTONDOWN: ShowMailIconMenu(mainWindow, resources); break;
    default: break;
    }
}

void RemoveMailIcons(HWND mainWindow) { win::DeleteNotifyIcons(mainWindow, {TRAY_ID_MAIL_ERROR, TRAY_ID_NEW_MAIL}); }

win::Icon LoadMailTrayIcon(HINSTANCE program, bool newMail) {
    return newMail ? win::LoadIconOfSize(program, MAKEINTRESOURCEA(IDI_NEW_MAIL), win::SmallIconSize())
                   : win::LoadIconOfSize(nullptr, MAKEINTRESOURCEA(32515), win::SmallIconSize());  // exclamation
}

}  // namespace tavik::mail
