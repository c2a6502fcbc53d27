// The message store over an in-memory folder, so the figures are the store's own cost without
// the disk: the start-up load of the stored messages, and one arrival.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/store/history_loader.h"
#include "core/store/intake.h"
#include "core/store/memory_message_folder.h"

namespace {

constexpr const char* kData = "C:\\Users\\ann\\AppData\\Tavik\\";
constexpr std::int64_t kFirstSecond = 1714990000;
const tavik::IncomingMessage kArrival{"Message from PC1 to ANN on 6/5/2024\r\nhello there", "PC1", {}};

std::unique_ptr<tavik::store::MemoryMessageFolder> FolderWith(int files) {
    auto folder = std::make_unique<tavik::store::MemoryMessageFolder>();
    folder->MakeFolder(std::string(kData) + "messages\\");
    const std::string text = "Monday, 6 May 2024, 10:15:00\r\n" + std::string(300, 'x');
    // Written newest first, so the load has to sort.
    for (int i = files - 1; i >= 0; --i) {
        folder->Put(std::string(kData) + "messages\\" + std::to_string(kFirstSecond + i) + "PC" +
                        std::to_string(i % 7) + ".qms",
                    "0PC/10.0.0.1\r\n" + text);
    }
    return folder;
}

// Larger than the processor's caches: written over before each load, so that every load
// starts from memory, as a start-up does, whether it takes a thousand files or a hundred thousand.
void EvictCaches() {
    static std::vector<char> beyondTheCaches(std::size_t{256} << 20);
    static char round = 0;
    std::memset(beyondTheCaches.data(), ++round, beyondTheCaches.size());
    benchmark::ClobberMemory();
}

// Reports the time per file beside the time per load: linear loading keeps it flat.
void BM_LoadHistory(benchmark::State& state) {
    const auto folder = FolderWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        EvictCaches();
        tavik::store::MessageHistory history;
        state.ResumeTiming();
        benchmark::DoNotOptimize(tavik::store::LoadMessageHistory(history, *folder, kData));
        state.PauseTiming();  // the history's end is no part of its load
        history.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["per_file"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// Wall time: the load reads with a second thread.
BENCHMARK(BM_LoadHistory)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

// An arrival when the list is full: the oldest entry leaves at every one.
void BM_IntakeAtTheLimit(benchmark::State& state) {
    tavik::Settings settings;
    settings.DataDirectory = kData;
    settings.UsingFilesToStoreMessages = 0;  // the history work alone
    settings.MessageCountLimit = static_cast<std::uint32_t>(state.range(0));
    tavik::store::MemoryMessageFolder folder;
    tavik::store::MessageHistory history;
    for (std::int64_t i = 0; i < state.range(0); ++i) history.Append({"Monday\r\nold", "PC2", std::nullopt, false, 0});
    const tavik::store::HeadingFormats headings;
    std::int64_t second = kFirstSecond;
    std::uint32_t ticks = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavik::store::IntakeMessage(history, settings, folder, "Monday, 6 May 2024, 10:15:00",
                                                             0, kArrival, ++second, ticks += 10, headings));
    }
}
BENCHMARK(BM_IntakeAtTheLimit)->Arg(100)->Arg(100000);

// Arrivals with their files, range(0) a second from one sender: every one after the first
// in a second needs a free "~n" name.
void BM_IntakeFloodFromOneSender(benchmark::State& state) {
    const std::int64_t perSecond = state.range(0);
    tavik::Settings settings;
    settings.DataDirectory = kData;
    const tavik::store::HeadingFormats headings;
    auto folder = FolderWith(0);
    tavik::store::MessageHistory history;
    std::int64_t arrived = 0;
    std::uint32_t ticks = 0;
    for (auto _ : state) {
        if (arrived % 100000 == 99999) {  // bounds the memory a long run takes
            state.PauseTiming();
            folder = FolderWith(0);
            state.ResumeTiming();
        }
        const std::int64_t second = kFirstSecond + arrived / perSecond;
        ++arrived;
        benchmark::DoNotOptimize(tavik::store::IntakeMessage(history, settings, *folder, "Monday, 6 May 2024, 10:15:00",
                                                             0, kArrival, second, ticks += 10, headings));
    }
}
BENCHMARK(BM_IntakeFloodFromOneSender)->Arg(1)->Arg(300);

}  // namespace
