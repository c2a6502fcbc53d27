#pragma once
// An in-memory MessageFolder for tests and benchmarks. It behaves like a Windows folder
// where it matters to the store: names compare without ASCII case, doubled backslashes
// count as one, a write into a missing folder fails, and so does a file name holding a
// character Windows refuses.

#include <list>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/store/message_folder.h"

namespace tavik::store {

class MemoryMessageFolder final : public MessageFolder {
public:
    // Makes a folder (path ending in "\" or not); writes succeed only inside made folders.
    void MakeFolder(const std::string& folder);
    // Puts a file as it is, bypassing every check (setting up a test's disk).
    void Put(const std::string& path, std::string bytes);
    // The bytes of a file, nullopt when there is none (names compare as in ListFiles).
    std::optional<std::string> Contents(const std::string& path) const;
    // Every file path, in directory order.
    std::vector<std::string> Paths() const;
    // While set, every write fails and leaves the folder as it was (a full disk).
    void SetWritesFail(bool fail) { writesFail_ = fail; }
    // Makes one file unreadable (locked by another program).
    void MakeUnreadable(const std::string& path);

    std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view suffix) override;
    std::optional<std::string> ReadWhole(const std::string& path, std::size_t maxBytes) override;
    bool WriteWhole(const std::string& path, std::string_view bytes) override;
    NewFileResult WriteNew(const std::string& path, std::string_view bytes) override;
    bool Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;

private:
    struct File {
        std::string path;  // as first written, case kept
        std::string key;   // path as the file system compares it
        std::string bytes;
    };
    std::list<File> files_;  // directory order: order of creation
    // Every file by its key: a look-up costs the same in a folder of a hundred thousand files
    // as in an empty one, so a benchmark over this folder measures the store, not the folder.
    std::unordered_map<std::string, std::list<File>::iterator> byKey_;
    std::set<std::string> folders_;  // keys
    std::set<std::string> unreadable_;
    bool writesFail_ = false;

    bool CanWrite(const std::string& path) const;
    std::list<File>::iterator Find(const std::string& path);
    std::list<File>::const_iterator Find(const std::string& path) const;
};

}  // namespace tavik::store
