#pragma once
// Reads a run of files two at a time. Under Wine every open and close waits on the wineserver;
// a second read under way meanwhile hides much of that wait, which is most of a start-up with
// thousands of stored messages.

#include <optional>
#include <string>
#include <vector>

#include "core/store/message_folder.h"

namespace tavik::store {

struct FileToRead {
    std::string path;
    std::size_t maxBytes;
};

// What ReadWhole gives for each file, in the order asked. The folder's ReadWhole must allow two
// calls at once (both folders do: neither changes anything while reading).
std::vector<std::optional<std::string>> ReadSideBySide(MessageFolder& folder, const std::vector<FileToRead>& files);

}  // namespace tavik::store
