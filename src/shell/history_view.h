#pragma once
// The message history as the main window shows it: the list and its position, the messages
// folder, the intake of arrivals, their announcement, the start-up load and the trash. One
// object, made by the program before the main window and attached to it when the window is
// set up; it outlives the window, so what waits at exit is still stored.

#include <windows.h>

#include <deque>

#include "core/reception/hand_off_queue.h"
#include "core/store/history_search.h"
#include "core/store/message_history.h"
#include "shell/arrival_announcer.h"
#include "shell/history_find.h"
#include "shell/history_status.h"
#include "shell/message_intake.h"
#include "shell/stored_messages_load.h"
#include "store/win32_message_folder.h"

namespace tavik::shell {

class HistoryView {
public:
    HistoryView() = default;
    HistoryView(const HistoryView&) = delete;
    HistoryView& operator=(const HistoryView&) = delete;

    // At window set-up: the window to show in; the arrival clock starts.
    void Attach(HWND mainWindow);
    HistoryStatus Status() const;

    // The newest stored message at once, the older ones on a thread of their own (when kept in files).
    void LoadStoredMessages();
    // On kStoredMessagesRead.
    void TakeStoredMessagesRead();
    // At exit: the reading stops (a bounded wait) and nothing that waited for it runs.
    void StopLoading();

    // Stores a batch of the messages waiting in queue and announces it once (at once, or when the
    // spacing of announcements allows).
    void StoreWaitingMessages(HandOffQueue& queue);
    // Shows and announces the arrivals stored since the last announcement; also called before the
    // user's commands, so they act on what the window shows.
    void AnnounceWaitingArrivals();
    // At exit: stores what still waits, shows and announces nothing, writes what is unwritten.
    void StoreWaitingMessagesQuietly(HandOffQueue& queue) { intake_.StoreAllQuietly(queue, history_, folder_); }
    // On kUnwrittenRetryTimer.
    void WriteUnwrittenMessages() { intake_.WriteUnwritten(history_, folder_); }

    // A step through the history or its trash; waits for the start-up load when it needs it.
    void Take(Step step);

    // Ctrl+F: the find dialog.
    void OpenFind() { find_.OpenDialog(); }
    // On the find dialog's message (HistoryFind::DialogMessage()): Find Next searches.
    void TakeFindMessage(LPARAM record);
    // F3 (reverse false) and Shift+F3 (reverse true).
    void FindAgain(bool reverse);
    // The open find dialog, for the message loop; nullptr while none is open.
    HWND FindDialog() const { return find_.Dialog(); }
    // At exit.
    void EmptyTrash();
    void Release() { history_.Clear(); }

private:
    void FinishLoad();
    void Run(Step step);
    void ShowTexts(const std::string& text, const std::string& sender);
    void ShowCurrent();
    void ShowCurrentTexts();
    void DeleteCurrent();
    void RestoreDeleted();
    void DeleteAll();
    void Find(const store::SearchRequest& request);
    void Search(const store::SearchRequest& request);
    void RunWaitingSearches(std::size_t stepsRun);

    HWND window_ = nullptr;
    store::MessageHistory history_;
    store::Win32MessageFolder folder_;
    MessageIntake intake_;
    ArrivalAnnouncer announcer_;
    StoredMessagesLoad load_;
    HistoryFind find_;
    // Searches that wait for the start-up load, each after the steps that were deferred before it.
    struct WaitingSearch {
        store::SearchRequest request;
        std::size_t stepsBefore = 0;
    };
    std::deque<WaitingSearch> waitingSearches_;
    std::size_t stepsDeferred_ = 0;
};

}  // namespace tavik::shell
