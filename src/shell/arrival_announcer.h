#pragma once
// The announcement of arrivals: what was stored and not yet shown, and when it may be shown.
// Under a stream of arrivals the window is redrawn at most once every 100 ms (timer
// kAnnouncementTimer), with the newest; a message after a quiet spell is shown at once.

#include <windows.h>

#include <optional>

#include "core/shell/announcement_pacer.h"
#include "core/store/intake.h"

namespace tavik::shell {

// What a batch of arrivals asks the window to do once.
struct Arrivals {
    std::optional<store::IntakeResult> newest;
    bool blink = false;
    bool popUp = false;
    bool playSound = false;

    void Add(store::IntakeResult result);
};

class ArrivalAnnouncer {
public:
    // The window its messages and timers go to; set once it exists.
    void Attach(HWND mainWindow) { mainWindow_ = mainWindow; }

    // Joins a stored batch to what waits; true when it must be announced now, false when the
    // timer announces it later.
    bool Add(Arrivals batch);
    // What waits, taken for its announcement (the timer is ended); nothing when nothing waits.
    // showTexts says whether the boxes still lack the newest arrival's texts.
    std::optional<Arrivals> Take(bool& showTexts);
    // Something else put texts into the boxes: the waiting announcement must not replace them.
    void TextsReplaced() { textsPending_ = false; }

private:
    HWND mainWindow_ = nullptr;
    Arrivals pending_;
    AnnouncementPacer pacer_;
    bool timerSet_ = false;
    bool textsPending_ = false;
};

}  // namespace tavik::shell
