#pragma once
// The file-system access the message store needs, behind a seam: the program uses the
// Win32 file calls, tests and benchmarks an in-memory folder. Paths are Windows paths
// with backslashes, in the ANSI code page.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::store {

// A file being written goes under its own name with this added, then is renamed into place.
inline constexpr std::string_view kTemporaryFileSuffix = ".tmp";

// Where a file is written before it is renamed to `path`: under its own name with the suffix
// added, in the folder above its own (the data folder, for the files of messages\ and trash\);
// beside it when its folder has none above it. Not in the target's folder because under Wine
// making a new name reads the whole folder it is made in: with the temporary kept out of the
// messages folder, storing a message reads that folder once (for the rename), not twice.
std::string StagingPathFor(const std::string& path);

// How a write that must not replace a file ended.
enum class NewFileResult {
    Written,
    NameTaken,  // a file or folder has that name: nothing was written
    Failed,
};

struct FolderFile {
    std::string name;    // the file name alone, no folder
    std::uint32_t size;  // low 32 bits of the size, as the directory search reports it
};

class MessageFolder {
public:
    virtual ~MessageFolder() = default;

    // Files (never sub-folders) of `folder`, a path ending in "\", whose names end with
    // `suffix` (ASCII case ignored, as the file system matches "*.qms"); an empty suffix
    // lists every file. Directory order; a missing folder lists nothing.
    virtual std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view suffix) = 0;

    // The file's bytes, at most maxBytes of them; nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadWhole(const std::string& path, std::size_t maxBytes) = 0;

    // Replaces or creates the file with exactly these bytes, whole or not at all: a crash
    // or a full disk leaves either the old file or the complete new one.
    virtual bool WriteWhole(const std::string& path, std::string_view bytes) = 0;

    // Creates the file with exactly these bytes, whole or not at all, only where no file or
    // folder has its name (compared as the file system compares names): it never replaces one.
    // The check and the creation are one step, so no file that appears meanwhile is lost.
    virtual NewFileResult WriteNew(const std::string& path, std::string_view bytes) = 0;

    // Deletes a file; false when it could not be deleted (missing, a folder, in use).
    virtual bool Remove(const std::string& path) = 0;

    // True when a file or folder of that name exists.
    virtual bool Exists(const std::string& path) = 0;
};

}  // namespace tavik::store
