#pragma once
// Server answers line by line: a line is judged only once its LF has arrived, however many
// receives it took. Memory grows only with the bytes received, up to kMaxLineLength a line.

#include <cstddef>
#include <optional>
#include <string>

#include "core/mail/mail_channel.h"

namespace tavik::mail {

// Far above any answer of these dialogues; an IMAP4 search line of a million numbers fits.
inline constexpr std::size_t kMaxLineLength = 16u << 20;

class LineReader {
public:
    explicit LineReader(MailChannel& channel) : channel_(channel) {}

    // The next line without its CR LF (a bare LF ends a line too); nothing when the channel
    // ends before a whole line came or the line grows past kMaxLineLength.
    std::optional<std::string> ReadLine();

private:
    MailChannel& channel_;
    std::string pending_;  // received bytes not yet handed out
};

}  // namespace tavik::mail
