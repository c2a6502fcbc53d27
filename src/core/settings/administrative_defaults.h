#pragma once
// The administrative values that setup fills in when they are missing, in the order it writes them.

#include <array>
#include <cstdint>

namespace tavik {

struct AdministrativeDefault {
    const char* name;
    std::uint32_t value;
};

inline constexpr std::array<AdministrativeDefault, 12> kAdministrativeDefaults{{
    {"UsingFilesToStoreMessages", 1},
    {"DisableCloseProgram", 0},
    {"DisableFilteringSettings", 0},
    {"DisableUDPTread", 0},
    {"DisableTCPTread", 0},
    {"DisableSMBTread", 0},
    {"DisableMailNotification", 0},
    {"DisableCustomization", 0},
    {"TCPPort", 7777},
    {"UDPPort", 7777},
    {"MessageCountLimit", 100},
    {"BlinkTrayIcon", 1},
}};

}  // namespace tavik
