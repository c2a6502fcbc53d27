// Sender lists as the listeners apply them to every message: the shipped defaults, a long
// list of addresses, and the pattern that makes a naive matcher backtrack.
#include <benchmark/benchmark.h>

#include <string>

#include "core/reception/pattern_match.h"

namespace {

void BM_DefaultAllowListOnAnAddress(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(tavik::MatchPatternList("192.168.10.45", "*.*.*.*;*"));
}
BENCHMARK(BM_DefaultAllowListOnAnAddress);

void BM_DenyListOfManyAddresses(benchmark::State& state) {
    std::string list;
    for (int i = 0; i < state.range(0); ++i) list += "10.1." + std::to_string(i) + ".*;";
    for (auto _ : state) benchmark::DoNotOptimize(tavik::MatchPatternList("192.168.10.45", list));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DenyListOfManyAddresses)->Arg(10)->Arg(100);

void BM_BacktrackingPattern(benchmark::State& state) {
    const std::string subject(static_cast<std::size_t>(state.range(0)), 'a');
    for (auto _ : state) benchmark::DoNotOptimize(tavik::MatchPattern(subject, "*a*a*a*a*a*a*b"));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BacktrackingPattern)->Arg(64)->Arg(1024);

}  // namespace
