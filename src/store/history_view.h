#pragma once
// The program's one message history, shown in the main window: intake, loading, navigation, trash.

#include <windows.h>

#include <cstdint>

#include "core/reception/incoming_message.h"

namespace tavik::shell {

struct HistoryStatus {
    std::uint32_t count = 0;
    std::uint32_t currentPosition = 0;
    bool currentIsHighPriority = false;
};

HistoryStatus CurrentHistoryStatus();

// Window initialisation: the arrival clock starts, stored messages are loaded (when kept in files).
void StartArrivalClock();
void LoadStoredMessages(HWND mainWindow);

// A received message on the user-interface thread; the sender is released early.
LRESULT StoreIncomingMessage(HWND mainWindow, WPARAM priority, const IncomingMessage* message);

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
