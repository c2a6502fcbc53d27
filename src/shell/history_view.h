#pragma once
// The program's one message history, shown in the main window: intake, loading, navigation, trash.

#include <windows.h>

#include <cstdint>

#include "core/reception/hand_off_queue.h"
#include "shell/history_status.h"

namespace tavik::shell {

HistoryStatus CurrentHistoryStatus();

// Window initialisation: the arrival clock starts, stored messages are loaded (when kept in files):
// the newest at once, the older ones on a thread of their own. Until they are all here, the steps
// that need them (to the oldest, delete, restore, delete all) wait and then run in order.
void StartArrivalClock();
void LoadStoredMessages(HWND mainWindow);
// On kStoredMessagesRead: the first, posted at start, starts the reading; each later one lets the
// older messages read so far join the history.
void TakeStoredMessagesRead(HWND mainWindow);
// At exit: the reading stops (a bounded wait).
void StopLoadingStoredMessages();

// Stores a batch of the messages waiting in queue (each file first, then its sender is told),
// shows the newest and announces the batch once (at once, or when the spacing of
// announcements allows). Posts itself another wake-up when more wait,
// so the window stays responsive under a flood.
void StoreWaitingMessages(HWND mainWindow, HandOffQueue& queue);
// Shows and announces the arrivals stored since the last announcement; StoreWaitingMessages
// leaves them for kAnnouncementTimer when the last announcement is too recent. Also called before
// the user's commands, so they act on what the window shows.
void AnnounceWaitingArrivals(HWND mainWindow);
// At exit: stores what still waits, shows and announces nothing, and writes what is unwritten.
void StoreWaitingMessagesQuietly(HandOffQueue& queue);
// On kUnwrittenRetryTimer: writes the files of messages whose write failed; the timer ends
// once none waits.
void WriteUnwrittenMessages(HWND mainWindow);

void ShowOlderMessage(HWND mainWindow);
void ShowNewerMessage(HWND mainWindow);
void ShowOldestMessage(HWND mainWindow);
void ShowNewestMessage(HWND mainWindow);

void DeleteCurrentMessage(HWND mainWindow);
void RestoreDeletedMessage(HWND mainWindow);
void DeleteAllMessages(HWND mainWindow);
// At start (before the window exists) and at exit.
void EmptyTrash();
void ReleaseHistory();

}  // namespace tavik::shell
