// Mail checks against a scripted server: answers that a real server words or times otherwise.

#include <gtest/gtest.h>

#include <future>

#include "mail_test_support.h"

namespace tavik::mailbox {
namespace {

using namespace std::chrono_literals;
using testing::Reply;
using Events = std::vector<std::string>;

struct ScriptedRun {
    MailCheckResult result;
    Events events;
    std::string sent;
    std::int32_t lastCount = 0;  // LastMailCount afterwards
};

ScriptedRun RunAgainst(std::vector<Reply> script, std::uint32_t serverType, std::int32_t lastCount = 0,
                       std::string password = "secret") {
    testing::ScriptedServer server(std::move(script));
    testing::ReportLog log;
    std::atomic<std::int32_t> last{lastCount};
    MailCheckResult result =
        MailCheck(testing::Account(server.Port(), serverType, std::move(password)), last, log.Reports()).Run();
    return {result, log.Events(), server.Received(), last.load()};
}

const std::string kPop3Sent = "USER tavik\r\nPASS secret\r\nSTAT\r\nQUIT\r\n";

TEST(ScriptedPop3Check, JudgesWholeLinesAndReadsTheCountAfterTheFirstBlank) {
    // More letters after +OK, and replies split over two segments.
    ScriptedRun run = RunAgainst({{"+OKAY ready\r\n"}, {"+O", "K\r\n"}, {"+OK", " welcome\r\n"}, {"+OK 3 452\r\n"}}, 0);
    EXPECT_EQ(run.events, (Events{"1", "2", "3", "4", "5", "counted 3", "new mail 3 tavik +sound"}));
    EXPECT_EQ(run.sent, kPop3Sent);

    EXPECT_EQ(RunAgainst({{"+ok ready\r\n"}}, 0).events, (Events{"1", "2", "53", "server failed 127.0.0.1 +sound"}));
    // Without a blank the count is unreadable: shown first, then reported.
    ScriptedRun noBlank = RunAgainst({{"+OK\r\n"}, {"+OK\r\n"}, {"+OK\r\n"}, {"+OK\r\n"}}, 0, 2);
    EXPECT_EQ(noBlank.events, (Events{"1", "2", "3", "4", "5", "count failed tavik +sound", "55"}));
    EXPECT_EQ(noBlank.sent, kPop3Sent);
    // A refused STAT is a failed count, not an empty maildrop: the icon and the last count stay.
    ScriptedRun error = RunAgainst({{"+OK\r\n"}, {"+OK\r\n"}, {"+OK\r\n"}, {"-ERR no maildrop\r\n"}}, 0, 2);
    EXPECT_EQ(error.events, (Events{"1", "2", "3", "4", "5", "count failed tavik +sound", "55"}));
    EXPECT_EQ(error.lastCount, 2);
}

TEST(MailCheckStepLimit, AStepEndsAtItsLimitHoweverTheBytesTrickleAndALineHasABound) {
    // Each byte comes well within the limit, but the greeting as a whole never does: 20 seconds
    // of one byte every 50 ms, and no line end.
    const Reply trickle(400, "x");
    testing::ScriptedServer server({trickle});
    testing::ReportLog log;
    std::atomic<std::int32_t> last{0};
    MailCheck(testing::Account(server.Port(), 0), last, log.Reports(), 300ms).Run();
    EXPECT_EQ(log.Events(), (Events{"1", "2", "53", "server failed 127.0.0.1 +sound"}));
    EXPECT_LT(server.SegmentsSent(), trickle.size()) << "the check waited for the server to end";

    // A reply line beyond 64 KB is a failed step.
    ScriptedRun overlong = RunAgainst({{"+OK " + std::string(70000, 'x') + "\r\n"}}, 0);
    EXPECT_EQ(overlong.events, (Events{"1", "2", "53", "server failed 127.0.0.1 +sound"}));
}

const Reply kGreeting{"* OK ready\r\n"};
const Reply kCapability{"* CAPABILITY IMAP4rev1\r\na01 OK done\r\n"};
const Reply kLogin{"* CAPABILITY IMAP4rev1 IDLE\r\n", "a02 ok LOGIN completed\r\n"};
const Reply kExamine{"* 3 EXISTS\r\na03 OK [READ-ONLY] EXAMINE completed.\r\n"};

TEST(ScriptedImap4Check, JudgesTaggedLinesByTagAndStatusWord) {
    ScriptedRun run = RunAgainst(
        {kGreeting, kCapability, kLogin, kExamine, {"* SEARCH 4 7 \r\na04 OK SEARCH completed\r\n"}}, kImap4ServerType);
    EXPECT_EQ(run.events, (Events{"1", "2", "3", "4", "5", "counted 2", "new mail 2 tavik +sound"}));
    EXPECT_EQ(run.sent,
              "a01 CAPABILITY \r\na02 LOGIN \"tavik\" \"secret\"\r\na03 EXAMINE INBOX\r\n"
              "a04 SEARCH UNSEEN UNDELETED UNDRAFT\r\na05 LOGOUT\r\n");

    ScriptedRun readWrite =
        RunAgainst({kGreeting, kCapability, kLogin, {"a03 OK [READ-WRITE] EXAMINE completed\r\n"}}, kImap4ServerType);
    EXPECT_EQ(readWrite.events, (Events{"1", "2", "3", "4", "53", "server failed 127.0.0.1 +sound"}));
    EXPECT_TRUE(readWrite.sent.ends_with("a03 EXAMINE INBOX\r\na05 LOGOUT\r\n"));
    // A failed search is unreadable, and said without a sound.
    ScriptedRun failed =
        RunAgainst({kGreeting, kCapability, kLogin, kExamine, {"a04 NO search\r\n"}}, kImap4ServerType);
    EXPECT_EQ(failed.events, (Events{"1", "2", "3", "4", "5", "count failed tavik", "55"}));
}

TEST(ScriptedImap4Check, APasswordWithALineEndGoesAsALiteralOnceTheServerAsksForIt) {
    const std::string password("se\r\ncr\0t", 9);
    // The literal's LF ends a line for the script too: it gets an empty reply.
    ScriptedRun run = RunAgainst({kGreeting,
                                  kCapability,
                                  {"+ go ahead\r\n"},
                                  {},
                                  {"a02 OK done\r\n"},
                                  kExamine,
                                  {"* SEARCH 4\r\na04 OK SEARCH completed\r\n"}},
                                 kImap4ServerType, 0, password);
    EXPECT_EQ(run.events, (Events{"1", "2", "3", "4", "5", "counted 1", "new mail 1 tavik +sound"}));
    EXPECT_TRUE(run.sent.starts_with("a01 CAPABILITY \r\na02 LOGIN \"tavik\" {9}\r\n" + password + "\r\na03 "));

    // A server that will not take the literal has refused the login; the password stays unsent.
    ScriptedRun refused =
        RunAgainst({kGreeting, kCapability, {"a02 BAD no literals here\r\n"}}, kImap4ServerType, 0, password);
    EXPECT_EQ(refused.events, (Events{"1", "2", "3", "54", "login rejected tavik +sound"}));
    EXPECT_EQ(refused.sent.find("cr"), std::string::npos);
}

TEST(ScriptedImap4Check, CountsEveryNumberOfALongSearchLine) {
    std::string search = "* SEARCH";
    // Far beyond the bound of other lines: the numbers are counted as they come.
    for (int number = 1; number <= 20000; ++number) search += " " + std::to_string(number);
    ScriptedRun run = RunAgainst(
        {kGreeting, kCapability, kLogin, kExamine, {search + "\r\n", "a04 OK SEARCH completed\r\n"}}, kImap4ServerType);
    EXPECT_EQ(run.result.count, 20000);
    EXPECT_EQ(run.events.at(5), "counted 20000");
}

TEST(MailCheckCancel, ASilentServerIsLeftAtOnceAndNothingIsReportedAfterwards) {
    testing::ScriptedServer server({});
    testing::ReportLog log;
    std::atomic<std::int32_t> last{7};
    MailCheck check(testing::Account(server.Port(), 0), last, log.Reports());
    auto running = std::async(std::launch::async, [&] { return check.Run(); });
    for (int i = 0; i < 400 && log.Events().size() < 2; ++i) std::this_thread::sleep_for(50ms);
    ASSERT_EQ(log.Events(), (Events{"1", "2"}));
    check.Cancel();
    // Far below the 180-second receive time-out.
    ASSERT_EQ(running.wait_for(60s), std::future_status::ready);
    EXPECT_EQ(running.get().outcome, MailCheckOutcome::Cancelled);
    EXPECT_EQ(log.Events(), (Events{"1", "2"}));
    EXPECT_EQ(last.load(), 7);
}

TEST(MailCheckConnect, AClosedPortIsANetworkFailureNamingTheHost) {
    net::testing::Fd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in local = net::testing::Loopback(0);
    ::bind(probe.get(), reinterpret_cast<sockaddr*>(&local), sizeof local);  // bound, never listening
    testing::ReportLog log;
    std::atomic<std::int32_t> last{0};
    MailCheck(testing::Account(net::testing::PortOf(probe.get()), 0), last, log.Reports()).Run();
    EXPECT_EQ(log.Events(), (Events{"1", "52", "network failed 127.0.0.1 +sound"}));
}

}  // namespace
}  // namespace tavik::mailbox
