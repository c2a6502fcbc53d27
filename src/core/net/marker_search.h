#pragma once
// Finding a framing marker in received text.

#include <cstddef>
#include <string_view>

#include "core/bytes/byte_reader.h"

namespace tavik::net {

inline constexpr std::size_t kNoMarker = std::string_view::npos;

// First occurrence of marker in text at or after from. With needsFollower, an occurrence
// with no byte after it does not count (it can only be the last one, so the search ends).
inline std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t from,
                              bool needsFollower) {
    if (from > text.size()) return kNoMarker;
    std::size_t pos = text.find(marker, from);
    if (pos == kNoMarker) return kNoMarker;
    if (needsFollower && pos + marker.size() >= text.size()) return kNoMarker;
    return pos;
}

// The listener takes the NUL cut from here as well.
using bytes::UpToNul;

}  // namespace tavik::net
