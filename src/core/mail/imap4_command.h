#pragma once
// IMAP4 commands whose arguments the server must read back byte for byte.

#include <string>
#include <string_view>
#include <vector>

namespace tavik::mailbox {

// A command in the parts it goes out in: every part but the last ends in a literal's "{n}\r\n",
// and the next part may go only once the server has asked for it with a continuation ("+").
using Imap4CommandParts = std::vector<std::string>;

// "<tag> LOGIN <user name> <password>\r\n", each argument a quoted string (a backslash before "
// and \), or a literal where a quoted string cannot hold it (a CR, LF or NUL).
Imap4CommandParts Imap4LoginCommand(std::string_view tag, std::string_view userName, std::string_view password);

}  // namespace tavik::mailbox
