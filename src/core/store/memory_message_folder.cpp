#include "core/store/memory_message_folder.h"

#include <algorithm>

namespace tavik::store {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows compares names without ASCII case and reads "a\\b" as "a\b".
std::string Key(std::string_view path) {
    std::string key;
    key.reserve(path.size());
    for (char c : path) {
        if (c == '\\' && !key.empty() && key.back() == '\\' && key.size() > 1) continue;
        key.push_back(LowerAscii(c));
    }
    return key;
}

std::string FolderKey(std::string_view folder) {
    std::string key = Key(folder);
    if (key.empty() || key.back() != '\\') key.push_back('\\');
    return key;
}

std::string_view NameOf(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ParentKey(std::string_view path) {
    std::string key = Key(path);
    std::size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash + 1);
}

bool NameAllowed(std::string_view name) {
    if (name.empty()) return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::string_view("/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
    }
    return true;
}

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (suffix.size() > name.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

}  // namespace

void MemoryMessageFolder::MakeFolder(const std::string& folder) { folders_.insert(FolderKey(folder)); }

void MemoryMessageFolder::Put(const std::string& path, std::string bytes) {
    auto it = Find(path);
    if (it != files_.end()) {
        it->bytes = std::move(bytes);
    } else {
        std::string key = Key(path);
        files_.push_back({path, key, std::move(bytes)});
        byKey_.emplace(std::move(key), std::prev(files_.end()));
    }
}

std::optional<std::string> MemoryMessageFolder::Contents(const std::string& path) const {
    auto it = Find(path);
    if (it == files_.end()) return std::nullopt;
    return it->bytes;
}

std::vector<std::string> MemoryMessageFolder::Paths() const {
    std::vector<std::string> paths;
    for (const File& file : files_) paths.push_back(file.path);
    return paths;
}

void MemoryMessageFolder::MakeUnreadable(const std::string& path) { unreadable_.insert(Key(path)); }

std::vector<FolderFile> MemoryMessageFolder::ListFiles(const std::string& folder, std::string_view suffix) {
    const std::string folderKey = FolderKey(folder);
    std::vector<FolderFile> found;
    for (const File& file : files_) {
        if (file.key.size() <= folderKey.size() || file.key.compare(0, folderKey.size(), folderKey) != 0 ||
            file.key.find('\\', folderKey.size()) != std::string::npos) {
            continue;
        }
        std::string_view name = NameOf(file.path);
        if (!EndsWithNoCase(name, suffix)) continue;
        found.push_back({std::string(name), static_cast<std::uint32_t>(file.bytes.size())});
    }
    return found;
}

std::optional<std::string> MemoryMessageFolder::ReadWhole(const std::string& path, std::size_t maxBytes) {
    const std::string key = Key(path);
    if (unreadable_.count(key) != 0) return std::nullopt;
    auto found = byKey_.find(key);
    if (found == byKey_.end()) return std::nullopt;
    const std::string& bytes = found->second->bytes;
    return std::string(bytes, 0, std::min(bytes.size(), maxBytes));
}

bool MemoryMessageFolder::WriteWhole(const std::string& path, std::string_view bytes) {
    if (!CanWrite(path)) return false;
    if (folders_.count(FolderKey(path)) != 0) return false;  // a folder of that name
    Put(path, std::string(bytes));
    return true;
}

NewFileResult MemoryMessageFolder::WriteNew(const std::string& path, std::string_view bytes) {
    if (!CanWrite(path)) return NewFileResult::Failed;
    if (Find(path) != files_.end() || folders_.count(FolderKey(path)) != 0) return NewFileResult::NameTaken;
    Put(path, std::string(bytes));
    return NewFileResult::Written;
}

bool MemoryMessageFolder::CanWrite(const std::string& path) const {
    return !writesFail_ && folders_.count(ParentKey(path)) != 0 && NameAllowed(NameOf(path));
}

bool MemoryMessageFolder::Remove(const std::string& path) {
    auto it = Find(path);
    if (it == files_.end()) return false;
    byKey_.erase(it->key);
    files_.erase(it);
    return true;
}

bool MemoryMessageFolder::Exists(const std::string& path) {
    return Find(path) != files_.end() || folders_.count(FolderKey(path)) != 0;
}

std::list<MemoryMessageFolder::File>::iterator MemoryMessageFolder::Find(const std::string& path) {
    auto found = byKey_.find(Key(path));
    return found == byKey_.end() ? files_.end() : found->second;
}

std::list<MemoryMessageFolder::File>::const_iterator MemoryMessageFolder::Find(const std::string& path) const {
    auto found = byKey_.find(Key(path));
    return found == byKey_.end() ? files_.cend() : std::list<File>::const_iterator(found->second);
}

}  // namespace tavik::store
