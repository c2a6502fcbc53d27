#include "core/shell/announcement_pacer.h"

namespace tavik {

std::uint32_t AnnouncementPacer::DelayAt(std::uint32_t nowMs) const {
    if (!announcedBefore_) return 0;
    const std::uint32_t since = nowMs - lastMs_;  // unsigned: right across a wrap of the tick count
    return since >= spacingMs_ ? 0 : spacingMs_ - since;
}

void AnnouncementPacer::Announced(std::uint32_t nowMs) {
    announcedBefore_ = true;
    lastMs_ = nowMs;
}

}  // namespace tavik
