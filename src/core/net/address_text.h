#pragma once
// IPv4 addresses as dotted text ("10.0.0.5"), the form peers and filters see.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::net {

// Address in host byte order (127.0.0.1 is 0x7F000001) to dotted text.
std::string DottedAddress(std::uint32_t address);

// Strict dotted quad: four decimal parts 0..255, nothing else. Host byte order.
std::optional<std::uint32_t> ParseDottedAddress(std::string_view text);

}  // namespace tavik::net
