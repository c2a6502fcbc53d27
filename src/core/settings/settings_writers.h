#pragma once
// The writers of the settings key: the two options pages, start-up's ClassName and the exit save.
// Each opens the sink first; when it cannot be opened nothing is written and nothing is applied.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/settings/settings.h"
#include "core/settings/settings_sink.h"

namespace tavik {

// Longest text a page field hands over.
inline constexpr std::size_t kMaxPageTextLength = 65535;
// Smallest font size the messages page keeps; a smaller one is saved as kDefaultFontSize.
inline constexpr std::uint32_t kMinFontSize = 7;
inline constexpr std::uint32_t kDefaultFontSize = 8;

// What the messages page shows when it is left.
struct MessagesPageValues {
    std::uint32_t minimizeWhenLast = 0;  // check states
    std::uint32_t popUpWhenIncoming = 0;
    std::uint32_t playSound = 0;
    std::uint16_t restoreHotKey = 0;                // the hot-key control's value
    std::optional<std::uint32_t> selectedFontSize;  // none when the size list has no selection
    std::string soundFile;
    std::string higthPriorMess;
    std::string dontRecvMess;
    std::string allMess;
};

// What the mail page shows when it is left.
struct MailPageValues {
    std::uint32_t checkMail = 0;  // check states
    std::uint32_t playMailSound = 0;
    std::optional<std::uint32_t> timeChecking;  // none when the field holds no number (saved as 1)
    bool imapSelected = false;                  // MailServerType 1, else 0
    std::string emailProgram;
    std::string userName;
    std::string password;  // plain text
    std::string incomingMailServer;
};

// Writes MinimizeWhenLast, PopUpWhenIncoming, MessageTextFontSize, PlaySound, RestoreHotKey, then
// SoundFile, HigthPriorMess, DontRecvMess, AllMess, and returns current with the page applied;
// nullopt when the sink cannot be opened.
std::optional<Settings> SaveMessagesPage(SettingsSink& sink, const Settings& current, const MessagesPageValues& page);

// Writes CheckMail, PlayMailSound, TimeChecking, MailServerType, then EmailProgram, UserName,
// Password (scrambled), IncomingMailServer, and returns current with the page applied; nullopt when
// the sink cannot be opened.
std::optional<Settings> SaveMailPage(SettingsSink& sink, const Settings& current, const MailPageValues& page);

// Start-up: records the main window's handle (its low 32 bits) as ClassName.
void WriteClassName(SettingsSink& sink, std::uint32_t mainWindow);

// Exit: deletes ClassName and writes MessageTextFontSize.
void SaveAtExit(SettingsSink& sink, const Settings& current);

// The session may end: writes MessageTextFontSize only (the program may yet run on).
void SaveFontSize(SettingsSink& sink, const Settings& current);

}  // namespace tavik
