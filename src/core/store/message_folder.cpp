#include "core/store/message_folder.h"

namespace tavik::store {

namespace {

// Drops separators at the end ("a\\\\" becomes "a": paths may carry doubled separators).
std::size_t EndWithoutSeparators(const std::string& path, std::size_t end) {
    while (end > 0 && path[end - 1] == '\\') --end;
    return end;
}

}  // namespace

std::string StagingPathFor(const std::string& path) {
    const std::string beside = path + std::string(kTemporaryFileSuffix);
    const std::size_t nameStart = path.find_last_of('\\') + 1;  // 0 when there is no folder
    const std::size_t folderEnd = EndWithoutSeparators(path, nameStart);
    if (nameStart == path.size() || folderEnd == 0) return beside;
    const std::size_t folderStart = path.find_last_of('\\', folderEnd - 1) + 1;
    const std::size_t parentEnd = EndWithoutSeparators(path, folderStart);
    // Not a drive's root, nor a relative folder's unknown parent.
    if (folderStart == 0 || parentEnd == 0 || path[parentEnd - 1] == ':') return beside;
    return path.substr(0, folderStart) + path.substr(nameStart) + std::string(kTemporaryFileSuffix);
}

}  // namespace tavik::store
