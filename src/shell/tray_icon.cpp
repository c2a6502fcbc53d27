#include "shell/tray_icon.h"

#include <shellapi.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "core/shell/status_text.h"
#include "resource_ids.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "win/dpi.h"
#include "win/notify_icon.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

constexpr DWORD kBlinkPhaseMs = 300;
constexpr int kBlinkCount = 8;
constexpr DWORD kBlinkStopBoundMs = 2 * kBlinkPhaseMs + 500;

NOTIFYICONDATAA TrayRecord{};  // shared with the blink thread under TrayLock
win::KernelHandle BlinkThread;
win::KernelHandle BlinkStopEvent;
std::atomic<bool> BlinkRunning{false};
// The icon a refresh loaded at the tray's size (TrayIcon then points at it) and its name; under TrayLock.
win::Icon LoadedIcon;
std::string LoadedIconName;

void PassToShell(DWORD action) { Shell_NotifyIconA(action, &TrayRecord); }

enum class Direction { ToTray, FromTray };

void AnimateTray(HWND window, Direction direction) {
    ANIMATIONINFO animation{sizeof(ANIMATIONINFO), 0};
    if (!SystemParametersInfoA(SPI_GETANIMATION, sizeof animation, &animation, 0) || animation.iMinAnimate == 0) {
        return;
    }
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    bool visible = IsWindowVisible(window) != FALSE;
    if (taskbar == nullptr || (visible && direction == Direction::FromTray) ||
        (!visible && direction == Direction::ToTray)) {
        return;
    }
    HWND notificationArea = GetDlgItem(taskbar, 303);
    if (notificationArea == nullptr) return;
    RECT windowRect, trayRect;
    GetWindowRect(window, &windowRect);
    GetClientRect(notificationArea, &trayRect);
    MapWindowPoints(notificationArea, nullptr, reinterpret_cast<POINT*>(&trayRect), 2);
    if (direction == Direction::ToTray) {
        DrawAnimatedRects(window, IDANI_CAPTION, &windowRect, &trayRect);
    } else {
        DrawAnimatedRects(window, IDANI_CAPTION, &trayRect, &windowRect);
    }
}

HICON MakeBlankIcon() {
    const int size = win::SmallIconSize();
    const int rowBytes = (size + 15) / 16 * 2;  // mask rows are whole words
    std::vector<BYTE> andMask(rowBytes * size, 0xFF);
    std::vector<BYTE> xorMask(rowBytes * size, 0x00);
    return CreateIcon(AppInstance, size, size, 1, 1, andMask.data(), xorMask.data());
}

// Shows icon in the tray; the lock covers the record change and the shell call, nothing more.
void ShowTrayIcon(HICON icon) {
    win::CriticalSectionLock lock(TrayLock);
    TrayRecord.hIcon = icon;
    PassToShell(NIM_MODIFY);
}

bool StopAsked(DWORD waitMs) { return WaitForSingleObject(BlinkStopEvent.Get(), waitMs) == WAIT_OBJECT_0; }

DWORD WINAPI BlinkProc(LPVOID) {
    win::Icon blank(MakeBlankIcon());
    for (int i = 0; i < kBlinkCount; ++i) {
        if (StopAsked(kBlinkPhaseMs)) break;
        ShowTrayIcon(blank.Get());
        bool stopping = StopAsked(kBlinkPhaseMs);
        // The count may have changed meanwhile: put back the icon of now, not the one taken away.
        {
            win::CriticalSectionLock lock(TrayLock);
            TrayRecord.hIcon = TrayIcon;
            PassToShell(NIM_MODIFY);
        }
        if (stopping) break;
    }
    BlinkRunning = false;
    return 0;
}

}  // namespace

void InitTrayRecord(HWND mainWindow) {
    TrayRecord = NOTIFYICONDATAA{};
    TrayRecord.cbSize = NOTIFYICONDATAA_V1_SIZE;
    TrayRecord.hWnd = mainWindow;
    TrayRecord.uID = TRAY_ID_MESSAGES;
    TrayRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayRecord.uCallbackMessage = kMessageIconEvent;
    TrayRecord.hIcon = TrayIcon;
}

void RefreshStatus(HWND mainWindow, const HistoryStatus& status) {
    if (HWND mark = GetDlgItem(mainWindow, IDC_PRIORITY_MARK)) {
        ShowWindow(mark, status.currentIsHighPriority ? SW_SHOW : SW_HIDE);
    }
    StatusTexts texts{LoadResourceString(IDS_PROGRAM_NAME), LoadResourceString(IDS_TIP_IDLE),
                      LoadResourceString(IDS_TIP_MANY), LoadResourceString(IDS_TIP_ONE),
                      LoadResourceString(IDS_TITLE_POSITION)};
    StatusView view = DescribeStatus(texts, status.currentPosition, status.count);
    SetWindowTextA(mainWindow, view.title.c_str());
    {
        win::CriticalSectionLock lock(TrayLock);
        win::Icon replaced;  // goes once the shell shows its successor
        if (!LoadedIcon || LoadedIconName != view.iconName) {
            // Loaded at the tray's own size, so the picture drawn for that size is taken, not a scaled one.
            if (win::Icon icon = win::LoadIconOfSize(AppInstance, view.iconName.c_str(), win::SmallIconSize())) {
                replaced = std::exchange(LoadedIcon, std::move(icon));
                LoadedIconName = view.iconName;
                TrayIcon = LoadedIcon.Get();
            }
        }
        lstrcpynA(TrayRecord.szTip, view.tip.c_str(), sizeof TrayRecord.szTip);
        TrayRecord.hIcon = TrayIcon;
        if (!Shell_NotifyIconA(NIM_MODIFY, &TrayRecord)) Shell_NotifyIconA(NIM_ADD, &TrayRecord);
    }

    EnableToolbarButton(CMD_OLDER, status.currentPosition > 1 && status.count > 0);
    EnableToolbarButton(CMD_NEWER, status.currentPosition < status.count);
    EnableToolbarButton(CMD_DELETE, status.count > 0);
}

void ReAddTrayIcon() {
    win::CriticalSectionLock lock(TrayLock);
    TrayRecord.hIcon = TrayIcon;
    Shell_NotifyIconA(NIM_ADD, &TrayRecord);
}

void RemoveTrayIcons(HWND mainWindow) {
    win::DeleteNotifyIcons(mainWindow, {TRAY_ID_MESSAGES, TRAY_ID_MAIL_ERROR, TRAY_ID_NEW_MAIL});
}

void HideToTray(HWND mainWindow) {
    AnimateTray(mainWindow, Direction::ToTray);
    ShowWindow(mainWindow, SW_HIDE);
    ActivateNextWindow();
    TrimWorkingSet();
}

void RestoreFromTray(HWND mainWindow, const HistoryStatus& status) {
    AnimateTray(mainWindow, Direction::FromTray);
    ShowWindow(mainWindow, SW_RESTORE);
    RefreshStatus(mainWindow, status);
    SetForegroundWindow(mainWindow);
}

void StartBlink() {
    if (BlinkRunning) return;
    if (!BlinkStopEvent) BlinkStopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    BlinkRunning = true;
    BlinkThread.Reset(CreateThread(nullptr, 0, BlinkProc, nullptr, 0, nullptr));
    if (!BlinkThread) BlinkRunning = false;
}

void StopBlink() {
    if (BlinkThread) {
        SetEvent(BlinkStopEvent.Get());
        // Bounded: when the session ends inside a tray update, the blink thread waits for the tray
        // lock that this thread holds further down the stack. It is then let go, keeping its event.
        const bool ended = WaitForSingleObject(BlinkThread.Get(), kBlinkStopBoundMs) == WAIT_OBJECT_0;
        BlinkThread.Reset();
        if (!ended) return;
    }
    BlinkStopEvent.Reset();
}

}  // namespace tavik::shell
