#include "core/mail/line_reader.h"

namespace tavik::mail {

std::optional<std::string> LineReader::ReadLine() {
    std::size_t searched = 0;
    while (true) {
        std::size_t end = pending_.find('\n', searched);
        if (end != std::string::npos) {
            std::size_t length = end > 0 && pending_[end - 1] == '\r' ? end - 1 : end;
            if (length > kMaxLineLength) return std::nullopt;
            std::string line = pending_.substr(0, length);
            pending_.erase(0, end + 1);
            return line;
        }
        // One more byte than the limit may be the CR of a line that just fits.
        if (pending_.size() > kMaxLineLength + 1) return std::nullopt;
        searched = pending_.size();
        if (!channel_.Receive(pending_)) return std::nullopt;
    }
}

}  // namespace tavik::mail
