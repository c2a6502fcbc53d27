// Which checks may start while others run.

#include "core/mail/mail_check_gate.h"

#include <gtest/gtest.h>

namespace tavik::mailbox {
namespace {

TEST(MailCheckGate, AScheduledCheckWaitsForEveryRunningCheckWhileCheckNowNeverWaits) {
    MailCheckGate gate;
    ASSERT_TRUE(gate.Enter(MailCheckStart::Scheduled));
    EXPECT_FALSE(gate.Enter(MailCheckStart::Scheduled)) << "a tick while a check hangs";
    EXPECT_TRUE(gate.Enter(MailCheckStart::OnDemand));
    gate.Leave();  // the scheduled check ends; check now still runs
    EXPECT_FALSE(gate.Enter(MailCheckStart::Scheduled));
    gate.Leave();
    EXPECT_TRUE(gate.Enter(MailCheckStart::Scheduled));
}

}  // namespace
}  // namespace tavik::mailbox
