#include "core/store/intake.h"

#include "core/store/message_file.h"
#include "core/store/unwritten_messages.h"

namespace tavik::store {

IntakeResult IntakeMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                           std::string_view dateLine, std::uint32_t priority, const IncomingMessage& incoming,
                           std::int64_t nowSeconds, std::uint32_t nowTicks, const HeadingFormats& headings) {
    history.lastArrivalTicks = nowTicks;

    // The record holds NUL-terminated strings: what follows a NUL was never part of them.
    const std::string_view receivedText = std::string_view(incoming.text).substr(0, incoming.text.find('\0'));

    MessageEntry entry;
    entry.sender = StoredSender(incoming.sender);
    entry.text = std::string(dateLine) + "\r\n" + RewordHeading(receivedText, headings);
    entry.highPriority = priority == kHighPriority;

    IntakeResult result;
    if (settings.UsingFilesToStoreMessages != 0) {
        // The file's flag follows any non-zero priority; the entry's mark only priority 1.
        const std::string path = MessageFilePath(settings.DataDirectory, nowSeconds, incoming.sender);
        entry.filePath =
            WriteNewMessageFile(folder, path, priority != 0, entry.sender, entry.text, &history.fileNames);
        result.fileWritten = entry.filePath.has_value();
        if (!result.fileWritten) entry.unwritten = UnwrittenFile{path, priority != 0};
    }

    result.text = entry.text;
    result.sender = entry.sender;
    result.highPriority = entry.highPriority;
    history.Append(std::move(entry));
    // Writing works again: some of the messages that waited for it go to disk now.
    result.unwrittenLeft = result.fileWritten
                               ? WriteUnwrittenMessages(history, folder, kUnwrittenWithEachArrival).left
                               : history.Unwritten().size();
    result.trimmed = history.TrimOldest(settings.MessageCountLimit);

    result.popUp = priority != 0 || settings.PopUpWhenIncoming != 0;
    result.blink = settings.BlinkTrayIcon != 0;
    result.playSound = settings.PlaySound != 0;
    return result;
}

}  // namespace tavik::store
