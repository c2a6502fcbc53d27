#include "core/settings/hot_key.h"

namespace tavik {

std::uint32_t WithRestoreHotKeyRule(std::uint32_t restoreHotKey) {
    if ((restoreHotKey & 0xFF) == 0) return restoreHotKey;
    return restoreHotKey | ((kHotKeyControl | kHotKeyAlt) << 8);
}

std::optional<HotKeyRegistration> ConvertRestoreHotKey(std::uint32_t restoreHotKey) {
    restoreHotKey = WithRestoreHotKeyRule(restoreHotKey);
    HotKeyRegistration registration;
    registration.virtualKey = restoreHotKey & 0xFF;
    if (registration.virtualKey == 0) return std::nullopt;

    std::uint32_t flags = (restoreHotKey >> 8) & 0xFF;
    if (flags & kHotKeyShift) registration.modifiers |= kModShift;
    if (flags & kHotKeyControl) registration.modifiers |= kModControl;
    if (flags & kHotKeyAlt) registration.modifiers |= kModAlt;
    return registration;
}

}  // namespace tavik
