#include "core/settings/settings_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tavik {
namespace {

TEST(SettingsStore, SnapshotStaysValidAndUnchangedAfterReplace) {
    SettingsStore store;
    EXPECT_EQ(store.Current()->AllMess, "*.*.*.*;*");

    std::shared_ptr<const Settings> held = store.Current();
    Settings next = *held;
    next.AllMess = "10.*";
    next.TCPPort = 9000;
    store.Replace(next);

    EXPECT_EQ(held->AllMess, "*.*.*.*;*");
    EXPECT_EQ(held->TCPPort, 7777u);
    EXPECT_EQ(store.Current()->AllMess, "10.*");
    EXPECT_EQ(store.Current()->TCPPort, 9000u);
    EXPECT_NE(store.Current(), held);
}

// Long enough to live on the heap, so a string replaced under a reader would show.
std::string Pattern(std::uint32_t n) { return std::to_string(n) + std::string(64, '.'); }

TEST(SettingsStore, ReadersSeeWholeSnapshotsWhileAWriterReplacesThem) {
    Settings first;
    first.TCPPort = 0;
    first.AllMess = Pattern(0);
    SettingsStore store(first);

    constexpr std::uint32_t kReplacements = 2000;
    std::atomic<bool> torn{false};
    std::vector<std::thread> readers;
    for (int i = 0; i < 2; ++i) {
        readers.emplace_back([&] {
            std::uint32_t seen = 0;
            while (seen < kReplacements) {
                std::shared_ptr<const Settings> snapshot = store.Current();
                // Every snapshot was written whole: its fields belong together.
                if (snapshot->AllMess != Pattern(snapshot->TCPPort)) torn = true;
                if (snapshot->TCPPort < seen) torn = true;  // never an older one after a newer
                seen = snapshot->TCPPort;
                std::this_thread::yield();
            }
        });
    }
    for (std::uint32_t n = 1; n <= kReplacements; ++n) {
        Settings next;
        next.TCPPort = n;
        next.AllMess = Pattern(n);
        store.Replace(next);
    }
    for (std::thread& reader : readers) reader.join();
    EXPECT_FALSE(torn);
}

TEST(SettingsStore, ProcessSettingsIsOneStore) {
    SettingsStore& store = ProcessSettings();
    EXPECT_EQ(&store, &ProcessSettings());
    std::shared_ptr<const Settings> before = store.Current();
    Settings changed = *before;
    changed.MessageCountLimit = before->MessageCountLimit + 1;
    store.Replace(changed);
    EXPECT_EQ(ProcessSettings().Current()->MessageCountLimit, before->MessageCountLimit + 1);
    store.Replace(*before);
}

}  // namespace
}  // namespace tavik
