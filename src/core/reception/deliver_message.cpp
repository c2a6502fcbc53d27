#include "core/reception/deliver_message.h"

#include <string>
#include <utility>

#include "core/bytes/byte_reader.h"
#include "core/reception/messenger_datagram.h"
#include "core/reception/pattern_match.h"
#include "core/text/format.h"

namespace tavik {

namespace {

std::string ExpandLineSeparators(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == kMessengerLineSeparator) {
            out.append("\r\n");
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

bool DeliverMessage(std::string_view sender, std::string_view recipient, std::string_view text,
                    const Settings& settings, std::string_view headingFormat, const CodePageConverter& codePage,
                    MessageSink& sink, Confirmation* settled) {
    // The hand-off strings are NUL-terminated, so a NUL inside a view ends it.
    sender = bytes::UpToNul(sender);
    recipient = bytes::UpToNul(recipient);
    text = bytes::UpToNul(text);
    if (sender.empty() || recipient.empty()) {
        return false;
    }
    // On the OEM bytes: 0x14 may be a printable character of the ANSI code page.
    const std::string body = codePage.ConvertOemToAnsi(ExpandLineSeparators(text));
    std::string ansiSender = codePage.ConvertOemToAnsi(sender);
    const std::string ansiRecipient = codePage.ConvertOemToAnsi(recipient);

    if (!MatchPatternList(ansiSender, settings.AllMess)) {
        return false;
    }
    if (MatchPatternList(ansiSender, settings.DontRecvMess)) {
        return false;
    }

    if (headingFormat.empty()) {
        headingFormat = kDefaultHeadingFormat;
    }
    IncomingMessage message;
    // The format is limited, not the heading: a long sender still keeps " to " and the recipient.
    message.text = FormatText(CutText(headingFormat, kHeadingMaxLength),
                              {std::string_view(ansiSender), std::string_view(ansiRecipient)});
    message.text.append(".\r\n\r\n");
    message.text.append(body);
    message.sender = std::move(ansiSender);
    if (settled != nullptr) *settled = Confirmation::For(message);
    sink.Deliver(kNormalPriority, message);
    return true;
}

}  // namespace tavik
