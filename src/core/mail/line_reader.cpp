#include "core/mail/line_reader.h"

namespace tavik::mailbox {

std::optional<std::string> LineReader::ReadLine(MailDeadline deadline) {
    bool lineEnded = false;
    std::optional<std::string> line = ReadPiece(deadline, lineEnded);
    if (!lineEnded) return std::nullopt;
    return line;
}

std::optional<std::string> LineReader::ReadPiece(MailDeadline deadline, bool& lineEnded) {
    lineEnded = false;
    std::size_t searched = 0;
    while (true) {
        std::size_t end = pending_.find('\n', searched);
        if (end != std::string::npos) {
            std::size_t length = end > 0 && pending_[end - 1] == '\r' ? end - 1 : end;
            if (length <= kMaxLineLength) {
                std::string line = pending_.substr(0, length);
                pending_.erase(0, end + 1);
                lineEnded = true;
                return line;
            }
        }
        // One more byte than the limit may be the CR of a line that just fits.
        if (pending_.size() > kMaxLineLength + 1) {
            std::string piece = pending_.substr(0, kMaxLineLength);
            pending_.erase(0, kMaxLineLength);
            return piece;
        }
        searched = pending_.size();
        if (!channel_.Receive(pending_, deadline)) return std::nullopt;
    }
}

}  // namespace tavik::mailbox
