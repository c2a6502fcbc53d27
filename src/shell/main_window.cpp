#include "shell/main_window.h"

#include <memory>

#include "core/net/socket_layer.h"
#include "core/settings/settings_store.h"
#include "core/store/message_file.h"
#include "core/text/format.h"
#include "mail/check_now_dialog.h"
#include "mail/email_program.h"
#include "mail/mail_schedule.h"
#include "mail/mail_tray_icons.h"
#include "resource_ids.h"
#include "shell/fonts.h"
#include "shell/history_view.h"
#include "shell/listeners.h"
#include "shell/message_text_box.h"
#include "shell/options_launch.h"
#include "shell/program.h"
#include "settings/registry_settings.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "shell/tray_icon.h"
#include "shell/tray_menus.h"
#include "win/help.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

std::unique_ptr<net::SocketLibrary> sockets;
bool tornDown = false;
const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

void PostSystemCommand(HWND window, WPARAM command) { PostMessageA(window, WM_SYSCOMMAND, command, 0); }

// The history view the program made for this window (WM_INITDIALOG's parameter).
HistoryView& ViewOf(HWND window) { return *reinterpret_cast<HistoryView*>(GetWindowLongPtrA(window, DWLP_USER)); }

void InitialiseWindow(HWND window, LPARAM view) {
    SetWindowLongPtrA(window, DWLP_USER, view);
    MainWindow = window;
    auto settings = ProcessSettings().Current();
    bool withOptions = settings->DisableCustomization == 0;
    BuildFonts(window, settings->MessageTextFontSize);
    CreateToolbar(window, withOptions);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
    FitLayout(window, withOptions);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(TrayIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(TrayIcon));
    AttachMessageTextBox(window);
    ViewOf(window).Attach(window);
    CreateReception(window);
    SetTimer(window, kWakeRetryTimer, kWakeRetryMs, nullptr);

    sockets = std::make_unique<net::SocketLibrary>();
    if (!sockets->Ready()) {
        sockets.reset();
        ShowErrorBox(window, LoadResourceString(IDS_SOCKETS_FAILED));
    } else {
        StartNetworkListeners(window);
    }
    InitTrayRecord(window);
    if (settings->UsingFilesToStoreMessages != 0) ViewOf(window).LoadStoredMessages();
    RefreshStatus(window, ViewOf(window).Status());
}

// Closes open dialogs and sheets, removes the tray icons, stops the network side and ends the loop.
void TearDown(HWND window) {
    if (tornDown) return;
    tornDown = true;
    while (HWND active = GetActiveWindow()) {
        if (!DestroyWindow(active)) break;
    }
    RemoveTrayIcons(window);
    MainWindow = nullptr;
    StopNetworkListeners(window);
    PostQuitMessage(0);
}

INT_PTR Close(HWND window) {
    if (ProcessSettings().Current()->DisableCloseProgram != 0) {
        PostSystemCommand(window, SC_MINIMIZE);
        return TRUE;
    }
    if (AskYesNo(window, IDS_EXIT_QUESTION)) DestroyWindow(window);
    return TRUE;
}

void Exit(HWND window, WPARAM wParam) {
    if (ProcessSettings().Current()->DisableCloseProgram != 0) {
        PostSystemCommand(window, SC_MINIMIZE);
    } else if (HIWORD(wParam) == 0) {
        DestroyWindow(window);
    } else {
        PostSystemCommand(window, SC_CLOSE);
    }
}

void ChangeFontSize(HWND window, bool larger) {
    Settings settings = *ProcessSettings().Current();
    std::uint32_t size =
        larger ? StepFontLarger(settings.MessageTextFontSize) : StepFontSmaller(settings.MessageTextFontSize);
    if (size == settings.MessageTextFontSize) return;
    settings.MessageTextFontSize = size;
    ProcessSettings().Replace(settings);
    BuildFonts(window, size);
}

INT_PTR OnCommand(HWND window, WPARAM wParam) {
    // A button, menu item or accelerator acts on what the window shows: the arrivals first.
    HistoryView& view = ViewOf(window);
    if (HIWORD(wParam) <= 1) view.AnnounceWaitingArrivals();
    switch (LOWORD(wParam)) {
    case CMD_HIDE: PostSystemCommand(window, SC_MINIMIZE); return TRUE;
    case CMD_COPY:
        if (HWND focus = GetFocus()) SendMessageA(focus, WM_COPY, 0, 0);
        return TRUE;
    case CMD_DELETE_ALL: view.Take(Step::DeleteAll); break;
    case CMD_OLDER: view.Take(Step::Older); break;
    case CMD_NEWER: view.Take(Step::Newer); break;
    case CMD_DELETE: view.Take(Step::Delete); break;
    case CMD_OPTIONS: OpenOptions(window); break;
    case CMD_ABOUT: ShowAbout(); break;
    case CMD_RESTORE_DELETED: view.Take(Step::Restore); break;
    case CMD_OPEN: PostSystemCommand(window, SC_RESTORE); break;
    case CMD_CHECK_MAIL_NOW: mail::OpenCheckNowDialog(MailContextOf(window), window); break;
    case CMD_EXIT: Exit(window, wParam); break;
    case CMD_LAUNCH_EMAIL: mail::LaunchEmailProgram(window); break;
    case CMD_DISMISS_MAIL: mail::RemoveMailIcons(window); break;
    case CMD_FONT_SMALLER: ChangeFontSize(window, false); break;
    case CMD_FONT_LARGER: ChangeFontSize(window, true); break;
    case CMD_OLDEST: view.Take(Step::Oldest); break;
    case CMD_NEWEST: view.Take(Step::Newest); break;
    case CMD_FIND: view.OpenFind(); break;
    case CMD_FIND_NEXT: view.FindAgain(false); break;
    case CMD_FIND_PREVIOUS: view.FindAgain(true); break;
    default: break;
    }
    return 0;
}

INT_PTR OnSystemCommand(HWND window, WPARAM command) {
    switch (command) {
    case SC_MINIMIZE: HideToTray(window); return TRUE;
    case SC_RESTORE: RestoreFromTray(window, ViewOf(window).Status()); return TRUE;
    case SC_MAXIMIZE: return TRUE;
    case SC_CLOSE: return Close(window);
    case CMD_ABOUT: ShowAbout(); return 0;
    default: return 0;
    }
}

void OnPowerEvent(HWND window, WPARAM event) {
    if (!sockets) return;
    if (event == PBT_APMSUSPEND) {
        StopNetworkListeners(window);
    } else if (event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESUSPEND) {
        StartNetworkListeners(window);
    }
}

}  // namespace

void ReleaseSockets() { sockets.reset(); }

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ApplyCopyButtonRule();
    switch (message) {
    case WM_INITDIALOG: InitialiseWindow(window, lParam); return TRUE;
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_SYSCOMMAND: return OnSystemCommand(window, wParam);
    case WM_TIMER:
        if (wParam == kMailCheckTimer) mail::StartMailCheck(MailContextOf(window));
        if (wParam == kMessagesWaitingTimer) {
            KillTimer(window, kMessagesWaitingTimer);
            if (!tornDown && WaitingMessages() != nullptr) ViewOf(window).StoreWaitingMessages(*WaitingMessages());
        }
        if (wParam == kAnnouncementTimer && !tornDown) ViewOf(window).AnnounceWaitingArrivals();
        if (wParam == kUnwrittenRetryTimer && !tornDown) ViewOf(window).WriteUnwrittenMessages();
        if (wParam == kWakeRetryTimer && WaitingMessages() != nullptr) WaitingMessages()->RetryWake();
        return 0;
    case WM_POWERBROADCAST: OnPowerEvent(window, wParam); return 0;
    case WM_HOTKEY:
        if (wParam == kRestoreHotKeyId) PostSystemCommand(window, SC_RESTORE);
        return 0;
    case WM_HELP: win::OpenHelp(window); return TRUE;
    case WM_PAINT: PaintDecorations(window); return TRUE;
    case WM_DPICHANGED:
        FollowDpiChange(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam),
                        ProcessSettings().Current()->DisableCustomization == 0);
        return TRUE;
    case WM_SIZE: return TRUE;
    case WM_QUERYENDSESSION:
        // Another program may still cancel the logoff: only what must not be lost is saved now.
        settings::SaveFontSizeForSessionEnd();
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            // The session really ends: the whole exit happens before this returns. The view is
            // taken first: the teardown may destroy this window, and its data with it.
            HistoryView& view = ViewOf(window);
            TearDown(window);
            ShutDown(view);
        }
        return 0;
    case WM_DESTROY: TearDown(window); return 0;
    case kMessagesWaiting:
        // After teardown what waits is stored at shut-down, without showing it.
        if (!tornDown && WaitingMessages() != nullptr) ViewOf(window).StoreWaitingMessages(*WaitingMessages());
        return TRUE;
    case kStoredMessagesRead:
        if (!tornDown) ViewOf(window).TakeStoredMessagesRead();
        return TRUE;
    case kMessagesNotSaved:
        if (!tornDown) {
            std::string folder = store::MessagesFolder(ProcessSettings().Current()->DataDirectory);
            ShowErrorBox(window, FormatText(LoadResourceString(IDS_MESSAGES_NOT_SAVED), {std::string_view(folder)}));
        }
        return TRUE;
    case kMessageIconEvent: return OnMessageIconEvent(window, lParam);
    case kMailIconEvent:
        mail::OnMailIconEvent(window, ResourceModule, lParam);
        if (lParam == WM_LBUTTONDBLCLK || lParam == WM_RBUTTONDOWN) TrimWorkingSet();
        return TRUE;
    default:
        if (message == taskbarCreated && taskbarCreated != 0) ReAddTrayIcon();
        if (message == HistoryFind::DialogMessage() && message != 0 && !tornDown) {
            ViewOf(window).TakeFindMessage(lParam);
        }
        return 0;
    }
}

}  // namespace tavik::shell
