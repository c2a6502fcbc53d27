#pragma once
// Where the search for a free message file name starts: one past the copy number this run last
// took for that name. A flood from one sender within one second then tries each name once,
// instead of every earlier copy again for every message. Only a hint: the write that must not
// replace a file decides whether a name is free.

#include <string>
#include <string_view>
#include <unordered_map>

namespace tavik::store {

class NameCopies {
public:
    // The copy number to try first for path (a name without "~n"); 1 when nothing is known.
    unsigned FirstToTry(std::string_view path) const;
    void Taken(std::string_view path, unsigned copy);
    // A message file went, and its name may be taken again: searches start from 1 again.
    void Forget() { next_.clear(); }

private:
    std::unordered_map<std::string, unsigned> next_;  // by the path as the file system compares it
};

}  // namespace tavik::store
