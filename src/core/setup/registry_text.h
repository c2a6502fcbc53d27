#pragma once
// Registry string data as text: the bytes read, cut at the first NUL. A value stored without its
// terminator still yields exactly the bytes that were read and nothing beyond them.

#include <string>
#include <string_view>

#include "core/bytes/byte_reader.h"

namespace tavik::setup {

inline std::string TextOfRegistryBytes(std::string_view stored) { return std::string(bytes::UpToNul(stored)); }

}  // namespace tavik::setup
