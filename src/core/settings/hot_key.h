#pragma once
// The restore hot key: stored as the hot-key control's value, registered with system modifiers.

#include <cstdint>
#include <optional>

namespace tavik {

// Modifier flags of the system's hot-key registration.
inline constexpr std::uint32_t kModAlt = 0x0001;
inline constexpr std::uint32_t kModControl = 0x0002;
inline constexpr std::uint32_t kModShift = 0x0004;

// Modifier flags of the hot-key control, in bits 8-15 of RestoreHotKey.
inline constexpr std::uint32_t kHotKeyShift = 0x01;
inline constexpr std::uint32_t kHotKeyControl = 0x02;
inline constexpr std::uint32_t kHotKeyAlt = 0x04;

struct HotKeyRegistration {
    std::uint32_t virtualKey = 0;
    std::uint32_t modifiers = 0;  // kMod* flags
};

// The hot key takes its key from every other program, so it always holds Control and Alt: a key
// without both gets them added, as the options' hot-key control adds them while it is typed.
// The value keeps its layout and its high 16 bits; without a virtual key it stays as it is.
std::uint32_t WithRestoreHotKeyRule(std::uint32_t restoreHotKey);

// Virtual key from bits 0-7, modifiers converted from bits 8-15 after WithRestoreHotKeyRule (the
// extended-key flag and the high 16 bits are ignored); nullopt when the virtual key is 0 (no
// hot key).
std::optional<HotKeyRegistration> ConvertRestoreHotKey(std::uint32_t restoreHotKey);

}  // namespace tavik
