#pragma once
// Earlier versions stored the accept-everyone allow list as "*.*.*.*", which matches only dotted
// addresses; the present form is "*". Any other list is kept byte for byte.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/setup/registry_text.h"

namespace tavik::setup {

// The allow list is read into a buffer this large; a longer value is left alone.
inline constexpr std::size_t kAllowListBufferSize = 65535;

inline constexpr std::string_view kOldAcceptAll = "*.*.*.*";
inline constexpr std::string_view kAcceptAll = "*";

// Returns the bytes to write back for the stored bytes of the allow list.
inline std::string RewriteAllowList(std::string_view storedBytes) {
    if (TextOfRegistryBytes(storedBytes) == kOldAcceptAll) {
        std::string replaced(kAcceptAll);
        replaced += '\0';
        return replaced;
    }
    return std::string(storedBytes);
}

}  // namespace tavik::setup
