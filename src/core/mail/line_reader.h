#pragma once
// Server answers line by line: a line is judged only once its LF has arrived, however many
// receives it took. Memory grows only with the bytes received, up to kMaxLineLength a line.

#include <cstddef>
#include <optional>
#include <string>

#include "core/mail/mail_channel.h"

namespace tavik::mailbox {

// Far above any answer these dialogues judge; a longer line is a failed step. Only an IMAP4
// search result may be longer, and it is counted piece by piece.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

class LineReader {
public:
    explicit LineReader(MailChannel& channel) : channel_(channel) {}

    // The next line without its CR LF (a bare LF ends a line too); nothing when the channel
    // ends before a whole line came or the line grows past kMaxLineLength.
    std::optional<std::string> ReadLine(MailDeadline deadline);

    // The next piece of the current line: the whole rest of it when that fits kMaxLineLength
    // (lineEnded true), else its next kMaxLineLength bytes. Nothing when the channel ends first.
    std::optional<std::string> ReadPiece(MailDeadline deadline, bool& lineEnded);

private:
    MailChannel& channel_;
    std::string pending_;  // received bytes not yet handed out
};

}  // namespace tavik::mailbox
