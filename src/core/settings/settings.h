#pragma once
// The settings record: one field per value of the settings key, under the value's own name.

#include <cstdint>
#include <string>

namespace tavik {

inline constexpr const char* kSettingsKeyPath = "Software\\Quorlex\\Tavik\\Settings";
inline constexpr std::uint32_t kDefaultPort = 7777;

struct Settings {
    // Number values (REG_DWORD).
    std::uint32_t BlinkTrayIcon = 1;
    std::uint32_t MessageCountLimit = 100;
    std::uint32_t UsingFilesToStoreMessages = 1;
    std::uint32_t DisableCloseProgram = 0;
    std::uint32_t DisableFilteringSettings = 0;
    std::uint32_t DisableUDPTread = 0;
    std::uint32_t DisableTCPTread = 0;
    std::uint32_t DisableSMBTread = 0;
    std::uint32_t DisableMailNotification = 0;
    std::uint32_t DisableCustomization = 0;
    std::uint32_t TCPPort = kDefaultPort;
    std::uint32_t UDPPort = kDefaultPort;
    std::uint32_t MinimizeWhenLast = 0;
    std::uint32_t PopUpWhenIncoming = 0;
    std::uint32_t MessageTextFontSize = 8;
    std::uint32_t RestoreHotKey = 0;
    std::uint32_t PlaySound = 1;
    std::uint32_t CheckMail = 0;
    std::uint32_t PlayMailSound = 0;
    std::uint32_t TimeChecking = 1;
    std::uint32_t MailServerType = 0;
    // TCP port of Messenger sessions where the system's NetBIOS cannot listen (NetBIOS over TCP).
    std::uint32_t NetbiosPort = 139;

    // String values (REG_SZ), ANSI code page.
    std::string SoundFile = "receive.wav";
    std::string HigthPriorMess = "*.*.*.*";
    std::string DontRecvMess;
    std::string AllMess = "*.*.*.*;*";
    std::string EmailProgram;
    std::string UserName;
    std::string Password;  // plain text in memory; scrambled in the registry
    std::string IncomingMailServer;

    // Computed, never stored: the per-user data folder, always ending in a backslash.
    std::string DataDirectory = ".\\";
};

}  // namespace tavik
