#include "core/shell/announcement_pacer.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(AnnouncementPacer, TheFirstAndThoseAfterAQuietSpellGoAtOnceOthersWaitForTheSpacing) {
    AnnouncementPacer pacer(100);
    EXPECT_EQ(pacer.DelayAt(5000), 0u);
    pacer.Announced(5000);
    EXPECT_EQ(pacer.DelayAt(5000), 100u);
    EXPECT_EQ(pacer.DelayAt(5030), 70u);
    EXPECT_EQ(pacer.DelayAt(5100), 0u);
    EXPECT_EQ(pacer.DelayAt(9000), 0u);
}

TEST(AnnouncementPacer, CountsAcrossAWrapOfTheTickCount) {
    AnnouncementPacer pacer(100);
    pacer.Announced(0xFFFFFFF0u);
    EXPECT_EQ(pacer.DelayAt(0x00000010u), 68u);  // 32 ms later, past the wrap
    EXPECT_EQ(pacer.DelayAt(0x00000054u), 0u);
}

}  // namespace
}  // namespace tavik
