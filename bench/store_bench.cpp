// Start-up load of the stored messages, and one arrival, over an in-memory folder: the
// store's own cost without the disk.
#include <benchmark/benchmark.h>

#include <string>

#include "core/store/history_loader.h"
#include "core/store/intake.h"
#include "core/store/memory_message_folder.h"

namespace {

constexpr const char* kData = "C:\\Users\\ann\\AppData\\Tavik\\";

tavik::store::MemoryMessageFolder FolderWith(int files) {
    tavik::store::MemoryMessageFolder folder;
    folder.MakeFolder(std::string(kData) + "messages\\");
    const std::string text = "Monday, 6 May 2024, 10:15:00\r\n" + std::string(300, 'x');
    // Written newest first, so the load has to sort.
    for (int i = files - 1; i >= 0; --i) {
        folder.Put(
            std::string(kData) + "messages\\" + std::to_string(1714990000 + i) + "PC" + std::to_string(i % 7) + ".qms",
            "0PC/10.0.0.1\r\n" + text);
    }
    return folder;
}

void BM_LoadHistory(benchmark::State& state) {
    tavik::store::MemoryMessageFolder folder = FolderWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tavik::store::MessageHistory history;
        benchmark::DoNotOptimize(tavik::store::LoadMessageHistory(history, folder, kData));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadHistory)->Arg(100)->Arg(1000);

void BM_IntakeAtTheLimit(benchmark::State& state) {
    tavik::Settings settings;
    settings.DataDirectory = kData;
    settings.UsingFilesToStoreMessages = 0;  // the history work alone
    tavik::store::MemoryMessageFolder folder;
    tavik::store::MessageHistory history;
    const tavik::store::HeadingFormats headings;
    const tavik::IncomingMessage message{"Message from PC1 to ANN on 6/5/2024\r\nhello there", "PC1"};
    std::int64_t second = 1714990000;
    std::uint32_t ticks = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavik::store::IntakeMessage(history, settings, folder, "Monday, 6 May 2024, 10:15:00",
                                                             0, message, ++second, ticks += 10, headings));
    }
}
BENCHMARK(BM_IntakeAtTheLimit);

}  // namespace
