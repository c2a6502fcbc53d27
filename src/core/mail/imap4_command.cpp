#include "core/mail/imap4_command.h"

namespace tavik::mailbox {
namespace {

void AppendString(Imap4CommandParts& parts, std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        parts.back() += "{" + std::to_string(value.size()) + "}\r\n";
        parts.emplace_back(value);
        return;
    }
    std::string& part = parts.back();
    part += '"';
    for (char c : value) {
        if (c == '"' || c == '\\') part += '\\';
        part += c;
    }
    part += '"';
}

}  // namespace

Imap4CommandParts Imap4LoginCommand(std::string_view tag, std::string_view userName, std::string_view password) {
    Imap4CommandParts parts{std::string(tag) + " LOGIN "};
    AppendString(parts, userName);
    parts.back() += ' ';
    AppendString(parts, password);
    parts.back() += "\r\n";
    return parts;
}

}  // namespace tavik::mailbox
