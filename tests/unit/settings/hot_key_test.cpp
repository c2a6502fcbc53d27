#include "core/settings/hot_key.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

void ExpectRegistration(std::uint32_t stored, std::uint32_t virtualKey, std::uint32_t modifiers) {
    std::optional<HotKeyRegistration> registration = ConvertRestoreHotKey(stored);
    ASSERT_TRUE(registration.has_value()) << std::hex << stored;
    EXPECT_EQ(registration->virtualKey, virtualKey) << std::hex << stored;
    EXPECT_EQ(registration->modifiers, modifiers) << std::hex << stored;
}

TEST(RestoreHotKey, ControlFlagsBecomeSystemModifiers) {
    ExpectRegistration(0x0641, 0x41, kModControl | kModAlt);  // Ctrl+Alt+A
    EXPECT_EQ(kModControl | kModAlt, 3u);
    ExpectRegistration(0x0100 | 'Q', 'Q', kModShift);
    ExpectRegistration(0x0200 | 'Q', 'Q', kModControl);
    ExpectRegistration(0x0400 | 'Q', 'Q', kModAlt);
    ExpectRegistration(0x0700 | 0x70, 0x70, kModShift | kModControl | kModAlt);
    ExpectRegistration(0x0041, 0x41, 0);
}

TEST(RestoreHotKey, ExtendedFlagAndHighBitsAreIgnored) {
    ExpectRegistration(0x0841, 0x41, 0);
    ExpectRegistration(0x0A2E, 0x2E, kModControl);
    ExpectRegistration(0xFFFF0141, 0x41, kModShift);
}

TEST(RestoreHotKey, NoVirtualKeyMeansNoHotKey) {
    EXPECT_FALSE(ConvertRestoreHotKey(0).has_value());
    EXPECT_FALSE(ConvertRestoreHotKey(0x0600).has_value());
}

}  // namespace
}  // namespace tavik
