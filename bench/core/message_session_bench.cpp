// One Messenger session served from its first block to the delivery, without a network: the
// single-block form and the start, text and end blocks Windows clients send.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/netbios/message_items.h"
#include "core/netbios/message_session.h"
#include "core/netbios/smb_block.h"

namespace {

using namespace tavik::netbios;

class ReplayedCaller final : public SmbSession, public tavik::MessageSink {
public:
    explicit ReplayedCaller(std::vector<std::string> blocks) : blocks_(std::move(blocks)) {}
    void Rewind() { next_ = 0; }

    std::optional<std::string> ReceiveBlock(std::size_t) override {
        if (next_ == blocks_.size()) return std::nullopt;
        return blocks_[next_++];
    }
    bool SendBlock(std::string_view block) override {
        benchmark::DoNotOptimize(block.data());
        return true;
    }
    void HangUp() override {}
    bool StopRequested() const override { return false; }
    // Stored at once, as by a store that keeps up.
    void Deliver(std::uint32_t, const tavik::IncomingMessage& message) override {
        benchmark::DoNotOptimize(message.text.data());
        if (message.onSettled) message.onSettled();
    }

private:
    std::vector<std::string> blocks_;
    std::size_t next_ = 0;
};

const std::string kNames = NameItem("PC7") + NameItem("ANN");

void Serve(benchmark::State& state, std::vector<std::string> blocks) {
    auto caller = std::make_shared<ReplayedCaller>(std::move(blocks));
    const MessengerDelivery delivery{nullptr, caller, "", nullptr};
    for (auto _ : state) {
        caller->Rewind();
        benchmark::DoNotOptimize(HandleMessageSession(*caller, delivery));
    }
}

void BM_SingleBlockSession(benchmark::State& state) {
    Serve(state, {BuildSmbBlock(kSingleBlockMessage, {}, kNames + DataItem(std::string(120, 'x')))});
}
BENCHMARK(BM_SingleBlockSession);

void BM_MultiBlockSession(benchmark::State& state) {
    std::vector<std::string> blocks{BuildSmbBlock(kMultiBlockStart, {}, kNames)};
    for (int i = 0; i < state.range(0); ++i) {
        blocks.push_back(BuildSmbBlock(kMultiBlockText, {kMessageGroupId}, DataItem(std::string(127, 'x'))));
    }
    blocks.push_back(BuildSmbBlock(kMultiBlockEnd, {kMessageGroupId}));
    Serve(state, std::move(blocks));
}
BENCHMARK(BM_MultiBlockSession)->Arg(1)->Arg(8);

}  // namespace
