#pragma once
// A data directory in memory with its two folders, and the settings that point at it.

#include <cstdint>
#include <string>

#include "core/settings/settings.h"
#include "core/store/heading.h"
#include "core/store/intake.h"
#include "core/store/memory_message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store::testing {

inline constexpr const char* kDataDirectory = "C:\\Users\\ann\\AppData\\Tavik\\";
inline constexpr const char* kMessagesFolder = "C:\\Users\\ann\\AppData\\Tavik\\messages\\";
inline constexpr const char* kTrashFolder = "C:\\Users\\ann\\AppData\\Tavik\\trash\\";
inline constexpr const char* kDateLine = "Monday, 6 May 2024, 10:15:00";

class StoreFixture {
public:
    StoreFixture() {
        folder.MakeFolder(kMessagesFolder);
        folder.MakeFolder(kTrashFolder);
        settings.DataDirectory = kDataDirectory;
        settings.PlaySound = 0;
    }

    // One arrival at the given second; the tick count moves on by a minute each time.
    IntakeResult Arrive(const std::string& text, const std::string& sender, std::int64_t seconds,
                        std::uint32_t priority = 0) {
        ticks += 60000;
        return IntakeMessage(history, settings, folder, kDateLine, priority, IncomingMessage{text, sender}, seconds,
                             ticks, headings);
    }

    static std::string Stamped(const std::string& text) { return std::string(kDateLine) + "\r\n" + text; }

    MemoryMessageFolder folder;
    Settings settings;
    MessageHistory history;
    HeadingFormats headings;
    std::uint32_t ticks = 100000;
};

}  // namespace tavik::store::testing
