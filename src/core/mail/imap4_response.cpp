#include "core/mail/imap4_response.h"

#include <limits>

namespace tavik::mailbox {
namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y) return false;
    }
    return true;
}

// The next blank-separated word of rest, taken off its front.
std::string_view NextWord(std::string_view& rest) {
    while (rest.starts_with(' ')) rest.remove_prefix(1);
    std::size_t end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(word.size());
    return word;
}

}  // namespace

bool IsImap4Greeting(std::string_view line) { return line.starts_with("* OK"); }

std::optional<Imap4TaggedLine> ParseImap4TaggedLine(std::string_view line, std::string_view tag) {
    if (tag.empty() || !line.starts_with(tag) || line.substr(tag.size(), 1) != " ") return std::nullopt;
    std::string_view rest = line.substr(tag.size() + 1);
    std::string_view word = NextWord(rest);
    Imap4TaggedLine tagged;
    if (SameWord(word, "OK")) tagged.status = Imap4Status::Ok;
    if (SameWord(word, "NO")) tagged.status = Imap4Status::No;
    if (SameWord(word, "BAD")) tagged.status = Imap4Status::Bad;
    while (rest.starts_with(' ')) rest.remove_prefix(1);
    if (rest.starts_with('[')) {
        std::size_t close = rest.find(']');
        if (close != std::string_view::npos) tagged.readOnly = SameWord(rest.substr(1, close - 1), "READ-ONLY");
    }
    return tagged;
}

bool SearchNumberCount::Begin(std::string_view firstPiece) {
    std::string_view rest = firstPiece;
    if (NextWord(rest) != "*" || !SameWord(NextWord(rest), "SEARCH")) return false;
    Add(rest);
    return true;
}

void SearchNumberCount::Add(std::string_view piece) {
    for (char c : piece) {
        if (c == ' ') {
            if (inWord_ && wordIsNumber_ && count_ < std::numeric_limits<std::int32_t>::max()) ++count_;
            inWord_ = false;
        } else {
            if (!inWord_) wordIsNumber_ = true;
            inWord_ = true;
            wordIsNumber_ = wordIsNumber_ && c >= '0' && c <= '9';
        }
    }
}

std::int32_t SearchNumberCount::Finish() {
    Add(" ");  // ends the last word
    return count_;
}

std::optional<std::int32_t> CountSearchNumbers(std::string_view line) {
    SearchNumberCount count;
    if (!count.Begin(line)) return std::nullopt;
    return count.Finish();
}

}  // namespace tavik::mailbox
