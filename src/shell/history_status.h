#pragma once
// What the title, the tray icon and the toolbar show of the message history.

#include <cstdint>

namespace tavik::shell {

struct HistoryStatus {
    std::uint32_t count = 0;
    std::uint32_t currentPosition = 0;
    bool currentIsHighPriority = false;
};

}  // namespace tavik::shell
