#pragma once
// Storing what the listeners handed over, on the window's thread: one message at a time (its file
// first, then its sender is told), a batch per wake-up so keys and paints come between batches.
// A message whose file cannot be written stays in the list unwritten: the user is told once per
// spell of failures, and its file is written, a few at a time, with the next writes that work and
// on kUnwrittenRetryTimer (every 30 s while writing fails, in quick batches once it works), and at exit.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "core/reception/hand_off_queue.h"
#include "core/settings/settings.h"
#include "core/store/heading.h"
#include "core/store/message_folder.h"
#include "core/store/message_history.h"
#include "shell/arrival_announcer.h"

namespace tavik::shell {

class MessageIntake {
public:
    // The window its messages and timers go to; set once it exists.
    void Attach(HWND mainWindow) { mainWindow_ = mainWindow; }

    // Stores a batch of what waits in queue; another wake-up (or a timer after waiting input)
    // is arranged when more is left. Returns what the batch asks the window to announce.
    Arrivals StoreBatch(HandOffQueue& queue, store::MessageHistory& history, store::MessageFolder& folder);
    // At exit: stores everything that waits, then writes what is unwritten; tells nobody.
    void StoreAllQuietly(HandOffQueue& queue, store::MessageHistory& history, store::MessageFolder& folder);

    // On kUnwrittenRetryTimer.
    void WriteUnwritten(store::MessageHistory& history, store::MessageFolder& folder);
    // A restored message whose file could not be written again: told and retried as an arrival is.
    void RestoredUnwritten(store::MessageHistory& history);

private:
    // Messages kept unwritten whose senders are answered once the user has been told.
    using Settlements = std::vector<std::function<void()>>;

    void StoreOne(HandOff& handOff, const Settings& settings, const store::HeadingFormats& headings,
                  store::MessageHistory& history, store::MessageFolder& folder, Arrivals& arrivals,
                  Settlements& settleWhenTold, bool& writeFailed);
    void TellSaveFailureOnce();
    void KeepRetrying(std::size_t unwrittenLeft, bool writingWorks);

    HWND mainWindow_ = nullptr;
    bool saveFailureTold_ = false;  // since the last write that worked
    UINT retryMs_ = 0;  // the retry timer's interval; 0 while it is not set
};

}  // namespace tavik::shell
