#include "shell/arrival_announcer.h"

#include <utility>

#include "window_messages.h"

namespace tavik::shell {

void Arrivals::Add(store::IntakeResult result) {
    blink |= result.blink;
    popUp |= result.popUp;
    playSound |= result.playSound;
    newest = std::move(result);
}

bool ArrivalAnnouncer::Add(Arrivals batch) {
    if (!batch.newest) return false;
    pending_.newest = std::move(batch.newest);
    pending_.blink |= batch.blink;
    pending_.popUp |= batch.popUp;
    pending_.playSound |= batch.playSound;
    textsPending_ = true;
    const std::uint32_t delay = pacer_.DelayAt(GetTickCount());
    if (delay == 0) return true;
    if (!timerSet_) {
        timerSet_ = SetTimer(mainWindow_, kAnnouncementTimer, delay, nullptr) != 0;
        if (!timerSet_) return true;
    }
    return false;
}

std::optional<Arrivals> ArrivalAnnouncer::Take(bool& showTexts) {
    if (timerSet_) KillTimer(mainWindow_, kAnnouncementTimer);
    timerSet_ = false;
    showTexts = false;
    if (!pending_.newest) return std::nullopt;
    showTexts = std::exchange(textsPending_, false);
    pacer_.Announced(GetTickCount());
    return std::exchange(pending_, {});
}

}  // namespace tavik::shell
