// Arbitrary datagrams through the UDP framing: it must read only the given bytes, and
// whatever it yields must be NUL-free stretches of the datagram.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/net/udp_framing.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequirePartOf(std::string_view whole, const std::string& part) {
    Require(part.find('\0') == std::string::npos);
    Require(whole.find(part) != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so a read past the end is caught.
    std::unique_ptr<char[]> copy(new char[size]);
    if (size > 0) std::memcpy(copy.get(), data, size);
    std::string_view datagram(copy.get(), size);

    auto fields = tavik::net::ParseUdpFraming(datagram);
    if (!fields) return 0;
    using namespace std::string_view_literals;
    for (std::string_view marker : {"\0#0"sv, "\0#1"sv, "\0#2"sv, "\0#3"sv, "\0#4"sv, "\0#5"sv, "\0#6"sv}) {
        Require(datagram.find(marker) != std::string_view::npos);
    }
    RequirePartOf(datagram, fields->text);
    RequirePartOf(datagram, fields->name);
    RequirePartOf(datagram, fields->replyAddress);
    Require(fields->text.size() + fields->name.size() + fields->replyAddress.size() + 21 <= size);
    return 0;
}
