#include "core/netbios/message_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/netbios/message_items.h"
#include "core/netbios/smb_block.h"

namespace tavik::netbios {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

std::string Single(const std::string& text, std::uint8_t command = kSingleBlockMessage) {
    return BuildSmbBlock(command, {}, NameItem("PC1") + NameItem("BOB") + DataItem(text));
}
std::string Start() { return BuildSmbBlock(kMultiBlockStart, {}, NameItem("PC1") + NameItem("BOB")); }
std::string Text(const std::string& text, std::uint16_t group = kMessageGroupId) {
    return BuildSmbBlock(kMultiBlockText, {group}, DataItem(text));
}
std::string End() { return BuildSmbBlock(kMultiBlockEnd, {kMessageGroupId}); }

// Plays the caller and the program's sink, which stores at once: hands out the blocks in order,
// then hangs up. Replies after the first sendsThatGetThrough fail.
struct ScriptedCaller final : SmbSession, MessageSink {
    std::optional<std::string> ReceiveBlock(std::size_t maxSize) override {
        if (hangUps > 0 || next == blocks.size() || blocks[next].size() > maxSize) return std::nullopt;
        return blocks[next++];
    }
    bool SendBlock(std::string_view block) override {
        replies.emplace_back(block);
        return replies.size() <= sendsThatGetThrough;
    }
    void HangUp() override { ++hangUps; }
    bool StopRequested() const override { return stop; }
    void Deliver(std::uint32_t, const IncomingMessage& message) override {
        delivered.push_back(message);
        deliveredBeforeHangUp = hangUps == 0;
        if (message.onSettled) message.onSettled();
    }

    std::vector<std::string> blocks;
    std::size_t sendsThatGetThrough = SIZE_MAX;
    std::size_t next = 0;
    int hangUps = 0;
    std::vector<std::string> replies;
    std::vector<IncomingMessage> delivered;
    bool deliveredBeforeHangUp = false;
    std::atomic<bool> stop{false};
};

// The store, which keeps each message until the test settles it or lets it go.
struct HoldingStore final : MessageSink {
    void Deliver(std::uint32_t, const IncomingMessage& message) override {
        std::lock_guard lock(mutex);
        held = message;
        arrived.notify_all();
    }
    std::optional<IncomingMessage> Take() {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, 20s, [&] { return held.has_value(); });
        return std::exchange(held, std::nullopt);
    }
    std::mutex mutex;
    std::condition_variable arrived;
    std::optional<IncomingMessage> held;
};

struct Outcome {
    std::vector<std::string> replies;
    std::optional<std::string> text;  // the body of the one delivery
};

Outcome RunSession(std::vector<std::string> blocks, std::size_t sendsThatGetThrough = SIZE_MAX) {
    auto caller = std::make_shared<ScriptedCaller>();
    caller->blocks = std::move(blocks);
    caller->sendsThatGetThrough = sendsThatGetThrough;
    const bool completed = HandleMessageSession(*caller, MessengerDelivery{nullptr, caller, "%s>%s", nullptr});
    EXPECT_EQ(caller->hangUps, 1);
    EXPECT_EQ(caller->delivered.size(), completed ? 1u : 0u);
    if (caller->delivered.empty()) return {caller->replies, std::nullopt};
    EXPECT_TRUE(caller->deliveredBeforeHangUp);
    EXPECT_EQ(caller->delivered[0].sender, "PC1");
    const std::string heading = "PC1>BOB.\r\n\r\n";
    const std::string& text = caller->delivered[0].text;
    EXPECT_EQ(text.substr(0, heading.size()), heading);
    return {caller->replies, text.substr(std::min(text.size(), heading.size()))};
}

const std::string kZeroHeader(27, '\0');
const std::string kPlainReplyTail = kZeroHeader + "\0\0\0"s;

TEST(MessageSession, RepliesAreExactlyTheseBytes) {
    EXPECT_EQ(RunSession({Single("hi")}).replies, std::vector<std::string>{"\xFFSMB\xD0"s + kPlainReplyTail});
    EXPECT_EQ(RunSession({Start(), Text("x"), End()}).replies,
              (std::vector<std::string>{"\xFFSMB\xD5"s + kZeroHeader + "\x01\x01\x01\0\0"s,
                                        "\xFFSMB\xD7"s + kPlainReplyTail, "\xFFSMB\xD6"s + kPlainReplyTail}));
}

struct Script {
    const char* what;
    std::vector<std::string> blocks;
    std::optional<std::string> text;  // delivered body, or nothing delivered
    std::size_t replies;              // sent or tried
    std::size_t sendsThatGetThrough = SIZE_MAX;
};

TEST(MessageSession, WhatIsDeliveredAndAnswered) {
    const std::string text128(128, 'a');
    // Data and byte count say 300 bytes; the block ends after 100.
    const std::string cutData = Single(std::string(300, 'z')).substr(0, 100);
    const std::string fill(kMaximumBlockSize - Single("").size(), 'f');
    const std::string overfill(fill.size() + 1, 'o');
    std::string textBeyondByteCount = Single("hi");
    textBeyondByteCount[kSmbHeaderSize + 1] = 13;  // names, format and length only
    const std::string noRecipient = BuildSmbBlock(kSingleBlockMessage, {}, NameItem("X") + DataItem("lost"));
    const std::vector<Script> scripts = {
        {"single block", {Single("hi")}, "hi", 1},
        {"broadcast, unanswered", {Single("all", kBroadcastMessage)}, "all", 0},
        {"128 bytes in one block", {Single(text128)}, text128, 1},
        {"data length beyond the block", {cutData}, std::string(100 - Single("").size(), 'z'), 1},
        {"block of the largest size", {Single(fill)}, fill, 1},
        {"gathered", {Start(), Text("Hello "), Text("world"), End()}, "Hello world", 4},
        {"other group passed over", {Start(), Text("Hello "), Text("xx", 1), Text("world"), End()}, "Hello world", 4},
        {"text block up to its NUL", {Start(), Text("ab\0c"s), Text("d"), End()}, "abd", 4},
        {"block without items passed over", {noRecipient, Single("hi")}, "hi", 1},
        {"hang-up before the end", {Start(), Text("Hello ")}, std::nullopt, 2},
        {"end block of another group", {Start(), BuildSmbBlock(kMultiBlockEnd, {7}), End()}, std::nullopt, 1},
        {"34-byte block", {Single("x").substr(0, 34), Single("hi")}, std::nullopt, 0},
        {"block over 215 bytes", {Single(overfill), Single("hi")}, std::nullopt, 0},
        {"wrong protocol", {"\xFESMB" + Single("x").substr(4), Single("hi")}, std::nullopt, 0},
        {"machine-name request", {BuildSmbBlock(kGetMachineName), Single("hi")}, std::nullopt, 0},
        {"text beyond the byte count", {textBeyondByteCount}, "", 1},
        {"single block whose reply fails", {Single("hi")}, "hi", 1, 0},
        {"start reply fails", {Start(), Text("a"), End()}, std::nullopt, 1, 0},
        {"end reply fails after the message is stored", {Start(), Text("a"), End()}, "a", 3, 2},
    };
    for (const Script& script : scripts) {
        Outcome outcome = RunSession(script.blocks, script.sendsThatGetThrough);
        EXPECT_EQ(outcome.text, script.text) << script.what;
        EXPECT_EQ(outcome.replies.size(), script.replies) << script.what;
    }
}

TEST(MessageSession, TheLastBlockIsAnsweredOnceItsMessageIsStoredNeverAfterAStopOrItsLoss) {
    enum class Then { Store, Stop, Lose };
    const std::vector<std::string> single{Single("hi")}, multi{Start(), Text("x"), End()};
    for (const auto& [blocks, then] : std::vector<std::pair<std::vector<std::string>, Then>>{
             {single, Then::Store}, {multi, Then::Store}, {single, Then::Stop}, {single, Then::Lose}}) {
        ScriptedCaller caller;
        caller.blocks = blocks;
        auto store = std::make_shared<HoldingStore>();
        std::thread session([&] { HandleMessageSession(caller, MessengerDelivery{nullptr, store, "", nullptr}); });
        std::optional<IncomingMessage> held = store->Take();
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(caller.replies.size(), blocks.size() - 1) << "answered before the message was stored";
        if (then == Then::Store && held) held->onSettled();
        if (then == Then::Stop) caller.stop = true;
        if (then == Then::Lose) held.reset();
        session.join();
        EXPECT_EQ(caller.replies.size(), blocks.size() - (then == Then::Store ? 0 : 1));
        EXPECT_EQ(caller.hangUps, 1);
    }

    // A sender the lists refuse is answered at once: nothing is stored to wait for.
    ScriptedCaller refused;
    refused.blocks = single;
    Settings denying;
    denying.DontRecvMess = "PC1";
    auto store = std::make_shared<HoldingStore>();
    HandleMessageSession(refused, {[&] { return std::make_shared<const Settings>(denying); }, store, "", nullptr});
    EXPECT_EQ(refused.replies.size(), 1u);
}

TEST(MessageSession, TextStopsShortOfTheTextBuffer) {
    std::vector<std::string> blocks{Start()};
    for (int i = 0; i < 516; ++i) blocks.push_back(Text(std::string(127, 't')));  // 65532 bytes
    for (const char* piece : {"3..", "2.", "1"}) blocks.push_back(Text(piece));   // reaching 65535 is dropped
    blocks.push_back(End());
    Outcome outcome = RunSession(blocks);
    ASSERT_TRUE(outcome.text);
    EXPECT_EQ(outcome.text->size(), 65534u);
    EXPECT_EQ(outcome.text->substr(65532), "2.");
}

}  // namespace
}  // namespace tavik::netbios
