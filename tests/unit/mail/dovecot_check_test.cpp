// Mail checks against a private Dovecot whose INBOX holds three messages, one of them seen, and
// whose password has every byte IMAP4 treats specially.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "mail_test_support.h"

namespace tavik::mailbox {
namespace {

using Events = std::vector<std::string>;

// IMAP4 must quote this password: a blank, a quote, a backslash, a parenthesis, a percent sign,
// and at its end what reads as the start of a 3-byte literal when sent bare.
const std::string kPassword = "p w\"\\(%{3}";

// The script's output, or why it failed; exit code 77 means Dovecot cannot run here.
int RunScript(const std::string& arguments, std::string& output) {
    std::string line = "TAVIK_DOVECOT_OWNER=" + std::to_string(::getpid()) + " " TAVIK_DOVECOT_SCRIPT " " + arguments;
    FILE* pipe = ::popen((line + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[512];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, count);
    int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DovecotCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/tavik-dovecot-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        folder = pattern;
        std::string output;
        exitCode = RunScript("start " + folder + " tavik '" + kPassword + "'", output);
        if (exitCode == 0 && std::sscanf(output.c_str(), "pop3=%hu imap=%hu", &pop3Port, &imap4Port) != 2)
            exitCode = -1;
        for (const char* state : {"seen", "unseen", "unseen"}) {
            if (exitCode == 0) exitCode = RunScript("deliver " + folder + " " + state, output);
        }
        problem = output;
    }
    static void TearDownTestSuite() {
        std::string output;
        if (!folder.empty()) RunScript("stop " + folder, output);
        std::filesystem::remove_all(folder);
    }
    void SetUp() override {
        if (exitCode == 77) GTEST_SKIP() << problem;
        ASSERT_EQ(exitCode, 0) << problem;
    }

    void Check(std::uint32_t serverType, const std::string& password = kPassword, std::uint32_t from = 0) {
        MailCheckRequest request =
            testing::Account(serverType == kImap4ServerType ? imap4Port : pop3Port, serverType, password);
        request.localAddress = from;
        MailCheck(request, lastMailCount, log.Reports()).Run();
    }

    static inline std::string folder, problem;
    static inline int exitCode = -1;
    static inline std::uint16_t pop3Port = 0, imap4Port = 0;
    std::atomic<std::int32_t> lastMailCount{0};
    testing::ReportLog log;
};

TEST_F(DovecotCheck, Pop3CountsEveryMessageAndAnnouncesOnlyARise) {
    Check(0);
    Check(0);
    EXPECT_EQ(log.Events(), (Events{"1", "2", "3", "4", "5", "counted 3", "new mail 3 tavik +sound",  //
                                    "1", "2", "3", "4", "5", "counted 3"}));
    EXPECT_EQ(lastMailCount.load(), 3);
}

TEST_F(DovecotCheck, Imap4QuotesThePasswordCountsTheUnseenMessagesAndRefreshesTheTipSilently) {
    lastMailCount = 5;
    Check(kImap4ServerType);
    EXPECT_EQ(log.Events(), (Events{"1", "2", "3", "4", "5", "counted 2", "new mail 2 tavik"}));
    EXPECT_EQ(lastMailCount.load(), 2);
}

TEST_F(DovecotCheck, AWrongPasswordIsARejectedLogin) {
    // From addresses of their own: Dovecot slows logins from an address that just failed one.
    Check(0, "wrong", 0x7F000002);
    Check(kImap4ServerType, "wrong", 0x7F000003);
    EXPECT_EQ(log.Events(), (Events{"1", "2", "3", "54", "login rejected tavik +sound",  //
                                    "1", "2", "3", "54", "login rejected tavik +sound"}));
    EXPECT_EQ(lastMailCount.load(), 0);
}

}  // namespace
}  // namespace tavik::mailbox
