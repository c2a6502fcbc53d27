#include "core/settings/settings_store.h"

#include <utility>

namespace tavik {

SettingsStore::SettingsStore() : current_(std::make_shared<const Settings>()) {}

SettingsStore::SettingsStore(Settings initial) : current_(std::make_shared<const Settings>(std::move(initial))) {}

std::shared_ptr<const Settings> SettingsStore::Current() const {
    std::lock_guard<std::mutex> lock(guard_);
    return current_;
}

void SettingsStore::Replace(Settings next) {
    auto snapshot = std::make_shared<const Settings>(std::move(next));
    std::shared_ptr<const Settings> previous;
    {
        std::lock_guard<std::mutex> lock(guard_);
        previous = std::exchange(current_, std::move(snapshot));
    }
    // previous is released here, outside the lock, if no reader still holds it.
}

SettingsStore& ProcessSettings() {
    static SettingsStore store;
    return store;
}

}  // namespace tavik
