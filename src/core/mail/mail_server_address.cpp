#include "core/mail/mail_server_address.h"

#include "core/text/leading_integer.h"

namespace tavik::mailbox {

MailServerAddress SplitMailServer(std::string_view setting, std::uint16_t defaultPort) {
    std::size_t colon = setting.find(':');
    if (colon == std::string_view::npos) return {std::string(setting), defaultPort};
    std::int32_t port = ReadLeadingInteger(setting.substr(colon + 1));
    bool usable = port >= 1 && port <= 65535;
    return {std::string(setting.substr(0, colon)), usable ? static_cast<std::uint16_t>(port) : defaultPort};
}

}  // namespace tavik::mailbox
