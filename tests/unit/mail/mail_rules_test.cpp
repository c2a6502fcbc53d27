// The incoming-mail server setting.

#include <gtest/gtest.h>

#include "core/mail/mail_server_address.h"

namespace tavik::mailbox {
namespace {

TEST(MailServerSetting, ThePortIsReadAsAPlainConversionReadsIt) {
    struct Case {
        const char* setting;
        const char* host;
        std::uint16_t port;
    };
    for (Case c : {Case{"mail.example.org", "mail.example.org", 110},
                   {"10.0.0.5:995", "10.0.0.5", 995},
                   {"mail: +25x", "mail", 25},
                   {"mail:1:2", "mail", 1},
                   {"mail:0", "mail", 110},
                   {"mail:65536", "mail", 110},
                   {"mail:99999999999", "mail", 110},
                   {"mail:-143", "mail", 110},
                   {"mail:pop", "mail", 110},
                   {":", "", 110}}) {
        MailServerAddress split = SplitMailServer(c.setting, kPop3Port);
        EXPECT_EQ(split.host, c.host) << c.setting;
        EXPECT_EQ(split.port, c.port) << c.setting;
    }
}

}  // namespace
}  // namespace tavik::mailbox
