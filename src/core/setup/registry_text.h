#pragma once
// Registry string data as text: the bytes read, cut at the first NUL. A value stored without its
// terminator still yields exactly the bytes that were read and nothing beyond them.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik::setup {

inline std::string TextOfRegistryBytes(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    return std::string(nul == std::string_view::npos ? bytes : bytes.substr(0, nul));
}

}  // namespace tavik::setup
