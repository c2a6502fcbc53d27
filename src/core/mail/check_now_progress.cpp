#include "core/mail/check_now_progress.h"

#include "core/mail/mail_progress.h"

namespace tavik::mailbox {
namespace {

// The resource module's status texts of the check-now dialog.
constexpr unsigned kStartedText = 252;
constexpr unsigned kConnectedText = 253;
constexpr unsigned kServerReadyText = 254;
constexpr unsigned kLoggedInText = 255;
constexpr unsigned kMailboxOpenedText = 258;
constexpr unsigned kCountedText = 259;
constexpr unsigned kNetworkFailedText = 267;
constexpr unsigned kServerFailedText = 268;
constexpr unsigned kLoginRejectedText = 269;
constexpr unsigned kCountFailedText = 270;

CheckNowStep Stage(unsigned text, StatusArgument argument, BarMove bar, int value) {
    return {text, argument, bar, value, CreepTimer::Unchanged, false, 0};
}

CheckNowStep Failure(unsigned text, StatusArgument argument) {
    return {text, argument, BarMove::None, 0, CreepTimer::Stop, true, 0};
}

}  // namespace

CheckNowStep CheckNowStepFor(std::uint32_t progressCode) {
    switch (progressCode & 0xFFFFu) {
    case MailStarted: {
        CheckNowStep step = Stage(kStartedText, StatusArgument::Server, BarMove::SetTo, 0);
        step.timer = CreepTimer::Start;
        return step;
    }
    case MailConnected:
        return Stage(kConnectedText, StatusArgument::None, BarMove::SetTo, kCheckNowConnectedPosition);
    case MailServerReady: return Stage(kServerReadyText, StatusArgument::User, BarMove::AdvanceBy, kCheckNowStageStep);
    case MailLoggedIn: return Stage(kLoggedInText, StatusArgument::None, BarMove::AdvanceBy, kCheckNowStageStep);
    case MailboxOpened: return Stage(kMailboxOpenedText, StatusArgument::None, BarMove::AdvanceBy, kCheckNowStageStep);
    case 0: {
        CheckNowStep step{kCountedText, StatusArgument::CountAndUser, BarMove::SetTo, kCheckNowBarEnd,
                          CreepTimer::Stop, true, 0};
        step.count = static_cast<int>(progressCode >> 16);
        return step;
    }
    case MailNetworkFailed: return Failure(kNetworkFailedText, StatusArgument::Server);
    case MailServerFailed: return Failure(kServerFailedText, StatusArgument::Server);
    case MailLoginRejected: return Failure(kLoginRejectedText, StatusArgument::User);
    case MailCountFailed: return Failure(kCountFailedText, StatusArgument::User);
    default: return {0, StatusArgument::None, BarMove::None, 0, CreepTimer::Stop, true, 0};
    }
}

}  // namespace tavik::mailbox
