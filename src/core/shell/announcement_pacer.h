#pragma once
// How often arrivals are announced on the screen. A message that comes after a quiet spell is
// shown at once; under a stream of arrivals the window, the title and the tray are redrawn at
// most once a spacing, with the newest message, so storing (not drawing) sets the pace.

#include <cstdint>

namespace tavik {

inline constexpr std::uint32_t kAnnouncementSpacingMs = 100;

class AnnouncementPacer {
public:
    explicit AnnouncementPacer(std::uint32_t spacingMs = kAnnouncementSpacingMs) : spacingMs_(spacingMs) {}

    // Milliseconds to wait before the arrivals taken at nowMs may be announced; 0: now.
    // Ticks wrap around (a 32-bit millisecond count).
    std::uint32_t DelayAt(std::uint32_t nowMs) const;
    // An announcement was made at nowMs.
    void Announced(std::uint32_t nowMs);

private:
    std::uint32_t spacingMs_;
    bool announcedBefore_ = false;
    std::uint32_t lastMs_ = 0;
};

}  // namespace tavik
