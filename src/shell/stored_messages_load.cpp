#include "shell/stored_messages_load.h"

#include <utility>

#include "core/store/trash.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

// How long the exit waits for the reading thread (it stops within a stretch).
constexpr DWORD kLoadStopBoundMs = 5000;

}  // namespace

bool StoredMessagesLoad::Begin(store::MessageHistory& history, store::MessageFolder& folder,
                               const std::string& dataDirectory) {
    store::RemoveInterruptedWrites(folder, dataDirectory);
    store::StartOfLoad start;
    try {
        start = store::LoadNewestMessage(history, folder, dataDirectory);
    } catch (...) {
        history.Clear();
        start = {};
        start.newest.skippedMalformed = true;
    }
    skippedMalformed_ = start.newest.skippedMalformed;
    if (history.olderToCome() == 0) return true;
    // The reading starts once the window is shown: under Wine both wait on the wineserver.
    olderFiles_ = std::move(start.older);
    PostMessageA(mainWindow_, kStoredMessagesRead, 0, 0);
    return false;
}

bool StoredMessagesLoad::TakeRead(store::MessageHistory& history) {
    if (!reading_) {
        if (olderFiles_.empty()) return false;
        HWND window = mainWindow_;
        reading_ = store::OlderMessagesThread::Start(std::exchange(olderFiles_, {}),
                                                     [window] { PostMessageA(window, kStoredMessagesRead, 0, 0); });
        if (reading_) return false;
        // No thread to read them: they are given up, and the user is told.
        history.PrependOlder({}, history.olderToCome());
        skippedMalformed_ = true;
        return true;
    }
    for (store::OlderMessages& batch : reading_->Take()) {
        skippedMalformed_ |= batch.skippedMalformed;
        history.PrependOlder(std::move(batch.entries), batch.filesCovered);
    }
    if (history.olderToCome() != 0) return false;
    reading_.reset();  // its thread has handed its last batch and ends by itself
    return true;
}

void StoredMessagesLoad::Stop() {
    if (reading_) reading_->Stop(kLoadStopBoundMs);
    reading_.reset();
    olderFiles_.clear();
    steps_.clear();
}

bool StoredMessagesLoad::MustWait(Step step, const store::MessageHistory& history) const {
    if (!steps_.empty()) return true;
    if (history.olderToCome() == 0) return false;
    return !(step == Step::Newer || step == Step::Newest || (step == Step::Older && history.olderIsHere()));
}

std::optional<Step> StoredMessagesLoad::NextWaitingStep() {
    if (steps_.empty()) return std::nullopt;
    const Step step = steps_.front();
    steps_.pop_front();
    return step;
}

}  // namespace tavik::shell
