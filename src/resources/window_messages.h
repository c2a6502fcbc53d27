#pragma once
// The program's own window messages, timers and hot key, as the main window and its
// dialogs receive them.

#include <windows.h>

namespace tavik {

// Posted after a tray menu closed or a batch of messages was taken in; no handler, it only
// lets the main window run its per-message bookkeeping (the Copy button rule) once more.
constexpr UINT kWindowBookkeeping = WM_USER;
// Posted by the hand-off queue when received messages wait to be stored; no parameters.
constexpr UINT kMessagesWaiting = WM_USER + 1;
// Mouse events on the message tray icon: lParam is the mouse message.
constexpr UINT kMessageIconEvent = WM_USER + 2;
// Mouse events on the new-mail and mail-error tray icons: lParam is the mouse message.
constexpr UINT kMailIconEvent = WM_USER + 3;
// Progress of a running mailbox check, to the check-now dialog: wParam is the progress code.
constexpr UINT kMailCheckProgress = WM_USER + 4;
// Posted by the intake when a message file could not be written (once until a write works again).
constexpr UINT kMessagesNotSaved = WM_USER + 5;
// Posted once the start-up load has read the newest stored message, to start reading the older
// ones, and then by the reading thread when older ones wait to join the history; no parameters.
constexpr UINT kStoredMessagesRead = WM_USER + 6;

// Timer of the main window that starts a periodic mailbox check.
constexpr UINT_PTR kMailCheckTimer = 1;
// Timer of the main window that stores the received messages left waiting for the user's keys,
// mouse and paints: a timer comes after them, a posted message before them.
constexpr UINT_PTR kMessagesWaitingTimer = 2;
// Timer of the main window that announces the arrivals stored since the last announcement,
// once the spacing between announcements has passed.
constexpr UINT_PTR kAnnouncementTimer = 3;
// Timer of the main window that writes the files of messages whose write failed: every 30 s
// while writing fails (a full disk, a missing folder), a batch every 50 ms once it works again.
constexpr UINT_PTR kUnwrittenRetryTimer = 4;
constexpr UINT kUnwrittenRetryMs = 30000;
constexpr UINT kUnwrittenCatchUpMs = 50;
// Timer of the main window, once a second: wakes the intake again when a wake-up could not be
// posted (the thread's message queue was full), so received messages never wait unseen.
constexpr UINT_PTR kWakeRetryTimer = 5;
constexpr UINT kWakeRetryMs = 1000;
// Hot key that brings the main window back from the tray.
constexpr int kRestoreHotKeyId = 1;

}  // namespace tavik
