#include "core/mail/check_now_progress.h"

#include "core/mail/mail_progress.h"

namespace tavik::mailbox {
namespace {

CheckNowStep Stage(CheckNowStatus text, StatusArgument argument, BarMove bar, int value) {
    return {text, argument, bar, value, CreepTimer::Unchanged, false, 0};
}

CheckNowStep Failure(CheckNowStatus text, StatusArgument argument) {
    return {text, argument, BarMove::None, 0, CreepTimer::Stop, true, 0};
}

}  // namespace

CheckNowStep CheckNowStepFor(std::uint32_t progressCode) {
    switch (progressCode & 0xFFFFu) {
    case MailStarted: {
        CheckNowStep step = Stage(CheckNowStatus::Started, StatusArgument::Server, BarMove::SetTo, 0);
        step.timer = CreepTimer::Start;
        return step;
    }
    case MailConnected:
        return Stage(CheckNowStatus::Connected, StatusArgument::None, BarMove::SetTo, kCheckNowConnectedPosition);
    case MailServerReady: return Stage(CheckNowStatus::ServerReady, StatusArgument::User, BarMove::AdvanceBy, kCheckNowStageStep);
    case MailLoggedIn: return Stage(CheckNowStatus::LoggedIn, StatusArgument::None, BarMove::AdvanceBy, kCheckNowStageStep);
    case MailboxOpened: return Stage(CheckNowStatus::MailboxOpened, StatusArgument::None, BarMove::AdvanceBy, kCheckNowStageStep);
    case 0: {
        CheckNowStep step{CheckNowStatus::Counted, StatusArgument::CountAndUser, BarMove::SetTo, kCheckNowBarEnd,
                          CreepTimer::Stop, true, 0};
        step.count = static_cast<int>(progressCode >> 16);
        return step;
    }
    case MailNetworkFailed: return Failure(CheckNowStatus::NetworkFailed, StatusArgument::Server);
    case MailServerFailed: return Failure(CheckNowStatus::ServerFailed, StatusArgument::Server);
    case MailLoginRejected: return Failure(CheckNowStatus::LoginRejected, StatusArgument::User);
    case MailCountFailed: return Failure(CheckNowStatus::CountFailed, StatusArgument::User);
    default: return {CheckNowStatus::Unchanged, StatusArgument::None, BarMove::None, 0, CreepTimer::Stop, true, 0};
    }
}

}  // namespace tavik::mailbox
