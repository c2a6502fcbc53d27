#include "core/mail/imap4_response.h"

#include <limits>

namespace tavik::mail {
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

bool IsNumber(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
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

std::optional<std::int32_t> CountSearchNumbers(std::string_view line) {
    std::string_view rest = line;
    if (NextWord(rest) != "*" || !SameWord(NextWord(rest), "SEARCH")) return std::nullopt;
    std::int32_t count = 0;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        if (IsNumber(word) && count < std::numeric_limits<std::int32_t>::max()) ++count;
    }
    return count;
}

}  // namespace tavik::mail
