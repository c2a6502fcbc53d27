// The NCB NetBIOS listener's stops, against a stand-in for the platform's NetBIOS (Wine's cannot
// listen): one adapter, names always added; listens and receives wait until the test lets a caller
// in or they are cancelled. The stand-in notes a control block posted again while its command is
// still pending, and what is still pending when the listener has ended.

#include "reception/netbios_listener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/netbios/message_items.h"
#include "core/netbios/smb_block.h"

namespace tavik::reception {
namespace {

class FakeNetbios {
public:
    UCHAR Call(NCB& ncb) {
        const UCHAR command = ncb.ncb_command & ~ASYNCH;
        if (command == NCBADDNAME && onAddName) onAddName();
        std::lock_guard lock(mutex_);
        commands.push_back(command);
        if (command == NCBENUM) {
            reinterpret_cast<LANA_ENUM*>(ncb.ncb_buffer)->length = 1;
        } else if (command == NCBCANCEL) {
            auto waiting = std::find(pending.begin(), pending.end(), reinterpret_cast<NCB*>(ncb.ncb_buffer));
            if (waiting == pending.end()) return NRC_CANOCCR;
            Complete(**waiting, NRC_CMDCAN);
            pending.erase(waiting);
        } else if (command == NCBRECV && !blocks.empty()) {
            ncb.ncb_length = static_cast<WORD>(std::min<std::size_t>(ncb.ncb_length, blocks.front().size()));
            std::copy_n(blocks.front().data(), ncb.ncb_length, ncb.ncb_buffer);
            blocks.erase(blocks.begin());
        } else if (command == NCBLISTEN || command == NCBRECV) {
            rewrittenWhilePending |= std::count(pending.begin(), pending.end(), &ncb) > 0;
            ncb.ncb_retcode = ncb.ncb_cmd_cplt = NRC_PENDING;
            pending.push_back(&ncb);
            changed_.notify_all();
            return NRC_GOODRET;
        }
        Complete(ncb, NRC_GOODRET);
        return NRC_GOODRET;
    }

    // Lets a caller in on the first pending listen; the caller then sends blocks.
    bool Connect(std::vector<std::string> callerBlocks) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(20), [&] { return !pending.empty(); })) return false;
        blocks = std::move(callerBlocks);
        pending.front()->ncb_lsn = 7;
        Complete(*pending.front(), NRC_GOODRET);
        pending.erase(pending.begin());
        return true;
    }

    void CancelAll() {
        std::lock_guard lock(mutex_);
        for (NCB* ncb : pending) Complete(*ncb, NRC_CMDCAN);
        pending.clear();
    }

    std::function<void()> onAddName;
    std::vector<UCHAR> commands;
    std::vector<NCB*> pending;
    std::vector<std::string> blocks;
    bool rewrittenWhilePending = false;

private:
    static void Complete(NCB& ncb, UCHAR result) {
        ncb.ncb_retcode = ncb.ncb_cmd_cplt = result;
        if (ncb.ncb_event != nullptr) SetEvent(ncb.ncb_event);
    }
    std::mutex mutex_;
    std::condition_variable changed_;
};

// The window's store, holding every message unsettled.
struct HoldingStore final : MessageSink {
    void Deliver(std::uint32_t, const IncomingMessage& message) override {
        std::lock_guard lock(mutex);
        held.push_back(message);
    }
    bool Holds() {
        std::lock_guard lock(mutex);
        return !held.empty();
    }
    std::mutex mutex;
    std::vector<IncomingMessage> held;
};

class NcbListenerTest : public ::testing::Test {
protected:
    void Start() {
        thread = std::thread([this] {
            listener.Run();
            finished = true;
        });
    }
    // True when Run ended within 10 s; otherwise everything pending is cancelled so that it ends.
    bool Ended() {
        for (int i = 0; i < 1000 && !finished; ++i) Sleep(10);
        const bool ended = finished;
        if (!ended) fake.CancelAll();
        thread.join();
        return ended;
    }
    void TearDown() override {
        if (!thread.joinable()) return;
        listener.Stop();
        Ended();
    }
    std::size_t Count(UCHAR command) const { return std::count(fake.commands.begin(), fake.commands.end(), command); }

    FakeNetbios fake;
    std::shared_ptr<HoldingStore> store = std::make_shared<HoldingStore>();
    NetbiosListener listener{ReceptionContext{}, netbios::MessengerDelivery{{}, store, "", nullptr},
                             [this](NCB& ncb) { return fake.Call(ncb); }};
    std::thread thread;
    std::atomic<bool> finished{false};
};

TEST_F(NcbListenerTest, AStopJustBeforeAListenIsPostedLeavesNothingWaiting) {
    fake.onAddName = [this] { listener.Stop(); };
    Start();
    EXPECT_TRUE(Ended()) << "a listen posted after the stop kept the listener waiting";
    EXPECT_TRUE(fake.pending.empty());
    EXPECT_EQ(fake.commands.back(), NCBDELNAME);
}

TEST_F(NcbListenerTest, AStopWhileASessionWaitsForItsStoreHangsUpUnansweredAndEndsTheListener) {
    Start();
    using namespace netbios;
    ASSERT_TRUE(
        fake.Connect({BuildSmbBlock(kSingleBlockMessage, {}, NameItem("PC1") + NameItem("BOB") + DataItem("hi"))}));
    for (int i = 0; i < 2000 && !store->Holds(); ++i) Sleep(10);
    ASSERT_TRUE(store->Holds());
    listener.Stop();
    EXPECT_TRUE(Ended());
    EXPECT_EQ(Count(NCBSEND), 0u) << "answered a message that was never stored";
    EXPECT_EQ(Count(NCBHANGUP), 1u);
    EXPECT_TRUE(fake.pending.empty());
    EXPECT_FALSE(fake.rewrittenWhilePending);
    EXPECT_EQ(fake.commands.back(), NCBDELNAME);
}

}  // namespace
}  // namespace tavik::reception
