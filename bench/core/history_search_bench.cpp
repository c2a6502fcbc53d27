// Find in a long history: the search from the newest message back to the oldest, the one that
// holds the text, so every message is looked at once (the longest search there is).
#include <benchmark/benchmark.h>

#include <string>

#include "core/store/history_search.h"

namespace {

using tavik::store::CaseFolding;
using tavik::store::MessageEntry;
using tavik::store::MessageHistory;
using tavik::store::SearchDirection;

// Texts of the length and kind that arrive: a date line, a heading, a sentence or two.
MessageHistory HistoryOf(int count) {
    static const char* const kBodies[] = {
        "The build on the release branch is red again; please look at the installer step before lunch.",
        "Meeting room 4 is taken until three. We meet in the kitchen instead, bring your notes.",
        "Printer on floor 2 is out of paper. Facilities know, a delivery comes on Thursday morning.",
        "Server PC7 restarts at 18:00 for updates. Save your work and close the shared documents.",
    };
    MessageHistory history;
    for (int i = 0; i < count; ++i) {
        MessageEntry entry;
        entry.sender = "PC" + std::to_string(i % 97) + "/10.0.0." + std::to_string(i % 250);
        entry.text = "Monday, 6 May 2024, 10:15:" + std::to_string(i % 60) + "\r\nMessage from " + entry.sender +
                     " to ANN\r\n" + kBodies[i % 4];
        if (i == 0) entry.text += " Ticket QX-4711 is closed.";
        history.Append(std::move(entry));
    }
    return history;
}

void BM_FindOldestOfMany(benchmark::State& state, bool matchCase) {
    const MessageHistory history = HistoryOf(static_cast<int>(state.range(0)));
    const tavik::store::SearchRequest request{matchCase ? "QX-4711" : "qx-4711", SearchDirection::Older, matchCase};
    for (auto _ : state) {
        const std::uint32_t found =
            tavik::store::FindMessage(history, history.count(), request, CaseFolding::Windows1252());
        if (found != 1) state.SkipWithError("the oldest message was not found");
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_FindOldestOfMany, IgnoringCase, false)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindOldestOfMany, MatchingCase, true)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
