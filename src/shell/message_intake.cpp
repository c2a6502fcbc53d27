#include "shell/message_intake.h"

#include <ctime>
#include <utility>

#include "core/settings/settings_store.h"
#include "core/store/intake.h"
#include "core/store/unwritten_messages.h"
#include "reception/system_date_time.h"
#include "reception/heading_format.h"
#include "shell/shell_state.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

// Messages stored per wake-up at most: enough to keep up with a flood, few enough that paints
// are taken between batches (keys and clicks end a batch at once).
constexpr std::size_t kBatchSize = 32;
// Kept messages written per tick of the retry timer: a short pause for the window, as a batch is.
constexpr std::size_t kUnwrittenPerTick = 32;

// Keys and mouse events that wait for this thread.
bool UserInputWaits() { return HIWORD(GetQueueStatus(QS_INPUT)) != 0; }

void Settle(HandOff& handOff) {
    if (handOff.message.onSettled) handOff.message.onSettled();
}

}  // namespace

void MessageIntake::StoreOne(HandOff& handOff, const Settings& settings, const store::HeadingFormats& headings,
                             store::MessageHistory& history, store::MessageFolder& folder, Arrivals& arrivals,
                             Settlements& settleWhenTold, bool& writeFailed) {
    try {
        store::IntakeResult result = store::IntakeMessage(
            history, settings, folder, reception::SystemDateTime().ArrivalDateLine(), handOff.priority,
            handOff.message, static_cast<std::int64_t>(std::time(nullptr)), GetTickCount(), headings);
        const bool stored = result.fileWritten || settings.UsingFilesToStoreMessages == 0;
        if (stored) {
            if (handOff.message.onStored) handOff.message.onStored();
            Settle(handOff);
            saveFailureTold_ = false;
        } else if (saveFailureTold_) {
            Settle(handOff);
        } else {
            writeFailed = true;
            if (handOff.message.onSettled) settleWhenTold.push_back(std::move(handOff.message.onSettled));
        }
        arrivals.Add(std::move(result));
    } catch (...) {
        // A fault abandons this message's remaining steps; its sender is not told it was delivered.
    }
}

Arrivals MessageIntake::StoreBatch(HandOffQueue& queue, store::MessageHistory& history, store::MessageFolder& folder) {
    auto settings = ProcessSettings().Current();
    const store::HeadingFormats headings = reception::LoadHeadingFormats(ResourceModule);
    Arrivals arrivals;
    Settlements settleWhenTold;
    bool writeFailed = false;
    bool moreLeft = true;
    bool inputWaits = false;
    // One message, so one file write, at a time: a key or a click that comes meanwhile ends the
    // batch and is taken before the next write.
    for (std::size_t stored = 0; moreLeft && stored < kBatchSize && !inputWaits; ++stored) {
        std::vector<HandOff> one = queue.Take(1, moreLeft);
        if (one.empty()) break;
        StoreOne(one.front(), *settings, headings, history, folder, arrivals, settleWhenTold, writeFailed);
        inputWaits = UserInputWaits();
    }
    if (moreLeft) {
        // A posted wake-up would come before the waiting input; a timer comes after it.
        if (inputWaits) {
            SetTimer(mainWindow_, kMessagesWaitingTimer, USER_TIMER_MINIMUM, nullptr);
        } else {
            PostMessageA(mainWindow_, kMessagesWaiting, 0, 0);
        }
    }
    if (writeFailed) TellSaveFailureOnce();
    for (auto& settle : settleWhenTold) settle();
    if (arrivals.newest) KeepRetrying(arrivals.newest->unwrittenLeft, arrivals.newest->fileWritten);
    return arrivals;
}

void MessageIntake::StoreAllQuietly(HandOffQueue& queue, store::MessageHistory& history,
                                    store::MessageFolder& folder) {
    auto settings = ProcessSettings().Current();
    const store::HeadingFormats headings = reception::LoadHeadingFormats(ResourceModule);
    Arrivals ignored;
    Settlements settleWhenTold;
    bool writeFailed = false;
    bool moreLeft = true;
    while (moreLeft) {
        for (HandOff& handOff : queue.Take(kBatchSize, moreLeft)) {
            StoreOne(handOff, *settings, headings, history, folder, ignored, settleWhenTold, writeFailed);
        }
    }
    for (auto& settle : settleWhenTold) settle();
    // The last chance for messages whose files could not be written.
    store::WriteUnwrittenMessages(history, folder);
}

void MessageIntake::WriteUnwritten(store::MessageHistory& history, store::MessageFolder& folder) {
    const store::UnwrittenProgress progress = store::WriteUnwrittenMessages(history, folder, kUnwrittenPerTick);
    if (progress.left == 0) saveFailureTold_ = false;
    KeepRetrying(progress.left, !progress.failed);
}

void MessageIntake::RestoredUnwritten(store::MessageHistory& history) {
    TellSaveFailureOnce();
    KeepRetrying(history.Unwritten().size(), false);
}

void MessageIntake::TellSaveFailureOnce() {
    if (saveFailureTold_) return;
    saveFailureTold_ = true;
    // Through the window's queue, so no box opens in the middle of a batch.
    PostMessageA(mainWindow_, kMessagesNotSaved, 0, 0);
}

void MessageIntake::KeepRetrying(std::size_t unwrittenLeft, bool writingWorks) {
    const UINT interval = unwrittenLeft == 0 ? 0 : writingWorks ? kUnwrittenCatchUpMs : kUnwrittenRetryMs;
    if (interval == retryMs_) return;
    if (interval == 0) {
        KillTimer(mainWindow_, kUnwrittenRetryTimer);
        retryMs_ = 0;
    } else {
        // Setting the timer again replaces its interval.
        retryMs_ = SetTimer(mainWindow_, kUnwrittenRetryTimer, interval, nullptr) != 0 ? interval : 0;
    }
}

}  // namespace tavik::shell
