#pragma once
// Taking a delivered message into the store: stamp, re-word, append, write its file, trim.
// The UI then shows the text and sender, refreshes, and announces as the result says.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/reception/incoming_message.h"
#include "core/settings/settings.h"
#include "core/store/heading.h"
#include "core/store/message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store {

struct IntakeResult {
    std::string text;    // put into the message text box (control 1000)
    std::string sender;  // put into the sender box (control 1002)
    bool highPriority = false;
    bool fileWritten = false;  // the entry has a message file
    std::size_t unwrittenLeft = 0;  // entries whose file is still to be written, this one included
    bool trimmed = false;      // the oldest entry left the list
    bool popUp = false;        // restore the main window (priority, or PopUpWhenIncoming)
    bool blink = false;        // BlinkTrayIcon: start a blink unless one is running
    bool playSound = false;    // PlaySound: play Settings::SoundFile, beep when that fails
};

// A message whose file cannot be written stays in the list marked unwritten; a write that works
// also writes the unwritten ones before it. dateLine is "<long date>, <time>" of the arrival; nowSeconds the seconds since 1970 (file
// name); nowTicks the millisecond tick count (delete guard).
IntakeResult IntakeMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                           std::string_view dateLine, std::uint32_t priority, const IncomingMessage& incoming,
                           std::int64_t nowSeconds, std::uint32_t nowTicks, const HeadingFormats& headings);

}  // namespace tavik::store
