#pragma once
// Process-wide settings as immutable snapshots. Readers (listener threads, mail checks) take the
// current snapshot and keep it for the work at hand; writers (options pages, font commands) build
// a new record and swap it in, so a reader never sees a string being replaced under it.

#include <memory>
#include <mutex>

#include "core/settings/settings.h"

namespace tavik {

class SettingsStore {
public:
    SettingsStore();
    explicit SettingsStore(Settings initial);

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The snapshot in effect; it stays valid for as long as the caller holds it.
    std::shared_ptr<const Settings> Current() const;

    // Makes next the snapshot in effect; snapshots already handed out are not touched.
    void Replace(Settings next);

private:
    mutable std::mutex guard_;
    std::shared_ptr<const Settings> current_;
};

// The one store of the running program (starts with the defaults until the settings are loaded).
SettingsStore& ProcessSettings();

}  // namespace tavik
