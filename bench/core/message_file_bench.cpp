// A message file's bytes: made at every arrival, read back for every file at start.
#include <benchmark/benchmark.h>

#include <string>

#include "core/store/message_file.h"

namespace {

std::string Stamped(std::size_t textBytes) {
    return "Monday, 6 May 2024, 10:15:00\r\nMessage from PC7 to ANN.\r\n" + std::string(textBytes, 'x');
}

void BM_EncodeMessageFile(benchmark::State& state) {
    const std::string text = Stamped(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tavik::store::EncodeMessageFile(false, "PC7/10.0.0.7:u", text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_EncodeMessageFile)->Arg(300)->Arg(65000);

void BM_ReadMessageFile(benchmark::State& state) {
    const std::string bytes =
        tavik::store::EncodeMessageFile(false, "PC7/10.0.0.7:u", Stamped(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(tavik::store::ReadMessageFile(bytes));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadMessageFile)->Arg(300)->Arg(65000);

}  // namespace
