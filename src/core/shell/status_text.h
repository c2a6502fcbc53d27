#pragma once
// What the window title, tray tip and tray icon say for a given state of the message list.

#include <cstdint>
#include <string>

namespace tavik {

struct StatusTexts {
    std::string programName;    // string 1
    std::string idleTip;        // string 2
    std::string manyTipFormat;  // string 3, %d count
    std::string oneTipFormat;   // string 4, %d count
    std::string titleFormat;    // string 5, %d position, %d count
};

struct StatusView {
    std::string title;
    std::string tip;       // at most 63 characters: the tray's limit
    std::string iconName;  // "IDI_A_TAVIK", or "IDI_ICON1" ... "IDI_ICON11"
};

inline constexpr std::size_t kTrayTipLimit = 63;

StatusView DescribeStatus(const StatusTexts& texts, std::uint32_t currentPosition, std::uint32_t count);

}  // namespace tavik
