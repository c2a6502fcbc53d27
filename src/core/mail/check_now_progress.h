#pragma once
// What the check-now dialog shows for each progress code of a running check: the status text, the
// bar's jump, the creep timer and whether the check has ended (the button then closes).

#include <cstdint>

namespace tavik::mailbox {

// The bar runs from 0 to kCheckNowBarEnd; it jumps at each stage and creeps by one in between.
inline constexpr int kCheckNowBarEnd = 600;
inline constexpr int kCheckNowConnectedPosition = 240;
inline constexpr int kCheckNowStageStep = 60;
inline constexpr unsigned kCheckNowCreepMs = 500;

// Which status line a step shows; the dialog maps each to its text in the resource module.
enum class CheckNowStatus {
    Unchanged,
    Started,
    Connected,
    ServerReady,
    LoggedIn,
    MailboxOpened,
    Counted,
    NetworkFailed,
    ServerFailed,
    LoginRejected,
    CountFailed,
};
enum class StatusArgument { None, Server, User, CountAndUser };
enum class BarMove { None, SetTo, AdvanceBy };
enum class CreepTimer { Unchanged, Start, Stop };

struct CheckNowStep {
    CheckNowStatus status = CheckNowStatus::Unchanged;
    StatusArgument argument = StatusArgument::None;
    BarMove bar = BarMove::None;
    int barValue = 0;
    CreepTimer timer = CreepTimer::Unchanged;
    bool ended = false;  // the button now closes the dialog
    int count = 0;       // CountAndUser: the count the check found
};

CheckNowStep CheckNowStepFor(std::uint32_t progressCode);

}  // namespace tavik::mailbox
