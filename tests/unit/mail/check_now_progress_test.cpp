// The check-now dialog's reading of the progress codes.

#include <gtest/gtest.h>

#include "core/mail/check_now_progress.h"
#include "core/mail/mail_progress.h"

namespace tavik::mailbox {
namespace {

TEST(CheckNowProgress, StagesJumpTheBarAndOnlyAnEndStopsTheCreep) {
    int bar = 123;
    bool creeping = false;
    for (std::uint32_t code : {MailStarted, MailConnected, MailServerReady, MailLoggedIn, MailboxOpened}) {
        CheckNowStep step = CheckNowStepFor(code);
        EXPECT_FALSE(step.ended) << code;
        EXPECT_NE(step.status, CheckNowStatus::Unchanged) << code;
        if (step.bar == BarMove::SetTo) bar = step.barValue;
        if (step.bar == BarMove::AdvanceBy) bar += step.barValue;
        if (step.timer == CreepTimer::Start) creeping = true;
        EXPECT_NE(step.timer, CreepTimer::Stop) << code;
    }
    EXPECT_TRUE(creeping);
    EXPECT_EQ(bar, 240 + 3 * 60);

    CheckNowStep counted = CheckNowStepFor(MailCounted(70000));
    EXPECT_TRUE(counted.ended);
    EXPECT_EQ(counted.count, 70000 & 0xFFFF);
    EXPECT_EQ(counted.bar, BarMove::SetTo);
    EXPECT_EQ(counted.barValue, kCheckNowBarEnd);
    EXPECT_EQ(counted.argument, StatusArgument::CountAndUser);
}

TEST(CheckNowProgress, FailuresNameServerOrUserAndLeaveTheBar) {
    struct Case {
        std::uint32_t code;
        CheckNowStatus text;
        StatusArgument argument;
    };
    for (Case c : {Case{MailNetworkFailed, CheckNowStatus::NetworkFailed, StatusArgument::Server},
                   {MailServerFailed, CheckNowStatus::ServerFailed, StatusArgument::Server},
                   {MailLoginRejected, CheckNowStatus::LoginRejected, StatusArgument::User},
                   {MailCountFailed, CheckNowStatus::CountFailed, StatusArgument::User},
                   {77, CheckNowStatus::Unchanged, StatusArgument::None}}) {
        CheckNowStep step = CheckNowStepFor(c.code);
        EXPECT_EQ(step.status, c.text) << c.code;
        EXPECT_EQ(step.argument, c.argument) << c.code;
        EXPECT_EQ(step.bar, BarMove::None) << c.code;
        EXPECT_EQ(step.timer, CreepTimer::Stop) << c.code;
        EXPECT_TRUE(step.ended) << c.code;
    }
}

}  // namespace
}  // namespace tavik::mailbox
