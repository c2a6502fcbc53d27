#include "core/store/name_copies.h"

namespace tavik::store {
namespace {

// Names of past seconds are not written again, bar a restore: past this many, start afresh.
constexpr std::size_t kNamesKept = 256;

std::string Key(std::string_view path) {
    std::string key(path);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace

unsigned NameCopies::FirstToTry(std::string_view path) const {
    auto found = next_.find(Key(path));
    return found == next_.end() ? 1 : found->second;
}

void NameCopies::Taken(std::string_view path, unsigned copy) {
    if (next_.size() >= kNamesKept) next_.clear();
    next_[Key(path)] = copy + 1;
}

}  // namespace tavik::store
