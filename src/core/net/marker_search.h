#pragma once
// Marker search shared by the two framings.

#include <cstddef>
#include <string_view>

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

// A field ends at its first NUL: it is handed on as a C string would be.
inline std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace tavik::net
