#include "shell/tray_icon.h"

#include <shellapi.h>

#include <atomic>
#include <string>

#include "core/shell/status_text.h"
#include "resource_ids.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "store/history_view.h"

namespace tavik::shell {
namespace {

constexpr UINT kMessageIconCallback = WM_USER + 2;
constexpr DWORD kBlinkPhaseMs = 300;
constexpr int kBlinkCount = 8;

NOTIFYICONDATAA TrayRecord{};
HANDLE BlinkThread = nullptr;
HANDLE BlinkStopEvent = nullptr;
std::atomic<bool> BlinkRunning{false};

void PassToShell(DWORD action) {
    Shell_NotifyIconA(action, &TrayRecord);
}

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
    constexpr int kSize = 16;
    BYTE andMask[kSize * kSize / 8];
    BYTE xorMask[kSize * kSize / 8];
    FillMemory(andMask, sizeof andMask, 0xFF);
    ZeroMemory(xorMask, sizeof xorMask);
    return CreateIcon(AppInstance, kSize, kSize, 1, 1, andMask, xorMask);
}

DWORD WINAPI BlinkProc(LPVOID) {
    HICON blank = MakeBlankIcon();
    for (int i = 0; i < kBlinkCount; ++i) {
        if (WaitForSingleObject(BlinkStopEvent, kBlinkPhaseMs) == WAIT_OBJECT_0) break;
        EnterCriticalSection(&TrayLock);
        HICON shown = TrayRecord.hIcon;
        TrayRecord.hIcon = blank;
        PassToShell(NIM_MODIFY);
        bool stopping = WaitForSingleObject(BlinkStopEvent, kBlinkPhaseMs) == WAIT_OBJECT_0;
        TrayRecord.hIcon = shown;
        PassToShell(NIM_MODIFY);
        LeaveCriticalSection(&TrayLock);
        if (stopping) break;
    }
    if (blank != nullptr) DestroyIcon(blank);
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
    TrayRecord.uCallbackMessage = kMessageIconCallback;
    TrayRecord.hIcon = TrayIcon;
}

void RefreshStatus(HWND mainWindow) {
    HistoryStatus status = CurrentHistoryStatus();
    if (HWND mark = GetDlgItem(mainWindow, IDC_PRIORITY_MARK)) {
        ShowWindow(mark, status.currentIsHighPriority ? SW_SHOW : SW_HIDE);
    }
    StatusTexts texts{LoadResourceString(IDS_PROGRAM_NAME), LoadResourceString(IDS_TIP_IDLE),
                      LoadResourceString(IDS_TIP_MANY), LoadResourceString(IDS_TIP_ONE),
                      LoadResourceString(IDS_TITLE_POSITION)};
    StatusView view = DescribeStatus(texts, status.currentPosition, status.count);
    if (HICON icon = LoadIconA(AppInstance, view.iconName.c_str())) TrayIcon = icon;
    SetWindowTextA(mainWindow, view.title.c_str());
    lstrcpynA(TrayRecord.szTip, view.tip.c_str(), sizeof TrayRecord.szTip);

    EnterCriticalSection(&TrayLock);
    TrayRecord.hIcon = TrayIcon;
    if (!Shell_NotifyIconA(NIM_MODIFY, &TrayRecord)) Shell_NotifyIconA(NIM_ADD, &TrayRecord);
    LeaveCriticalSection(&TrayLock);

    EnableToolbarButton(CMD_OLDER, status.currentPosition > 1 && status.count > 0);
    EnableToolbarButton(CMD_NEWER, status.currentPosition < status.count);
    EnableToolbarButton(CMD_DELETE, status.count > 0);
    TrimWorkingSet();
}

void ReAddTrayIcon() {
    EnterCriticalSection(&TrayLock);
    TrayRecord.hIcon = TrayIcon;
    Shell_NotifyIconA(NIM_ADD, &TrayRecord);
    LeaveCriticalSection(&TrayLock);
}

void RemoveTrayIcons(HWND mainWindow) {
    for (UINT id : {static_cast<UINT>(TRAY_ID_MESSAGES), static_cast<UINT>(TRAY_ID_MAIL_ERROR),
                    static_cast<UINT>(TRAY_ID_NEW_MAIL)}) {
        NOTIFYICONDATAA record{};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = mainWindow;
        record.uID = id;
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
}

void HideToTray(HWND mainWindow) {
    AnimateTray(mainWindow, Direction::ToTray);
    ShowWindow(mainWindow, SW_HIDE);
    ActivateNextWindow();
    TrimWorkingSet();
}

void RestoreFromTray(HWND mainWindow) {
    AnimateTray(mainWindow, Direction::FromTray);
    ShowWindow(mainWindow, SW_RESTORE);
    RefreshStatus(mainWindow);
    SetForegroundWindow(mainWindow);
}

void StartBlink() {
    if (BlinkRunning) return;
    if (BlinkStopEvent == nullptr) BlinkStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (BlinkThread != nullptr) {
        CloseHandle(BlinkThread);
        BlinkThread = nullptr;
    }
    BlinkRunning = true;
    BlinkThread = CreateThread(nullptr, 0, BlinkProc, nullptr, 0, nullptr);
    if (BlinkThread == nullptr) BlinkRunning = false;
}

void StopBlink() {
    if (BlinkThread != nullptr) {
        SetEvent(BlinkStopEvent);
        WaitForSingleObject(BlinkThread, INFINITE);
        CloseHandle(BlinkThread);
        BlinkThread = nullptr;
    }
    if (BlinkStopEvent != nullptr) {
        CloseHandle(BlinkStopEvent);
        BlinkStopEvent = nullptr;
    }
}

}  // namespace tavik::shell
