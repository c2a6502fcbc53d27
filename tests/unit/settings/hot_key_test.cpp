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
    ExpectRegistration(0x0700 | 0x70, 0x70, kModShift | kModControl | kModAlt);
}

TEST(RestoreHotKey, AKeyWithoutBothControlAndAltGetsThemAddedAndNeverStealsAPlainKey) {
    const std::uint32_t controlAlt = kModControl | kModAlt;
    ExpectRegistration(0x0041, 0x41, controlAlt);                   // A
    ExpectRegistration(0x0400 | 'X', 'X', controlAlt);              // Alt+X
    ExpectRegistration(0x0200 | 'Q', 'Q', controlAlt);              // Ctrl+Q
    ExpectRegistration(0x0100 | 'Q', 'Q', kModShift | controlAlt);  // Shift+Q
    EXPECT_EQ(WithRestoreHotKeyRule(0x00030141), 0x00030741u);      // layout and high bits kept
    EXPECT_EQ(WithRestoreHotKeyRule(0x0641), 0x0641u);
}

TEST(RestoreHotKey, ExtendedFlagAndHighBitsAreIgnored) {
    ExpectRegistration(0x0E2E, 0x2E, kModControl | kModAlt);
    ExpectRegistration(0xFFFF0741, 0x41, kModShift | kModControl | kModAlt);
}

TEST(RestoreHotKey, NoVirtualKeyMeansNoHotKey) {
    EXPECT_FALSE(ConvertRestoreHotKey(0).has_value());
    EXPECT_FALSE(ConvertRestoreHotKey(0x0600).has_value());
    EXPECT_EQ(WithRestoreHotKeyRule(0x0100), 0x0100u);
}

}  // namespace
}  // namespace tavik
