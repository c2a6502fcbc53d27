#pragma once
// The one delivery step of the Messenger transports (mailslot and NetBIOS sessions):
// checks a received message, converts it from the OEM code page, applies the sender
// filters, puts the heading line on it and hands it to the main window's sink.

#include <cstddef>
#include <string_view>

#include "core/reception/code_page.h"
#include "core/reception/confirmation.h"
#include "core/reception/incoming_message.h"
#include "core/settings/settings.h"

namespace tavik {

// Heading used when the resource module has no text for it: sender, then recipient.
inline constexpr std::string_view kDefaultHeadingFormat = "Message from %s to %s";
// The heading format is cut to this many characters (the heading itself is not).
inline constexpr std::size_t kHeadingMaxLength = 95;

// sender, recipient and text are the OEM bytes as received (a NUL, if any, ends each).
// settings is the snapshot whose AllMess and DontRecvMess apply; headingFormat is the
// resource text with two "%s" (sender, recipient), kDefaultHeadingFormat when empty.
// Returns true when the message went to the sink, false when it was refused: empty
// sender or recipient, sender not in the allow list, or sender in the deny list (the
// deny list wins). Refusals are silent. A listener that answers its sender passes
// settled: for a message that went to the sink it is what to wait on before answering; it is
// left alone for a refused one, which is answered at once.
bool DeliverMessage(std::string_view sender, std::string_view recipient, std::string_view text,
                    const Settings& settings, std::string_view headingFormat, const CodePageConverter& codePage,
                    MessageSink& sink, Confirmation* settled = nullptr);

}  // namespace tavik
