// Arbitrary TCP data through the text framing: only the given bytes are read, the data
// ends at its first NUL, and a message is taken only with its end mark.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/net/tcp_framing.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> copy(new char[size]);
    if (size > 0) std::memcpy(copy.get(), data, size);
    std::string_view bytes(copy.get(), size);

    auto fields = tavik::net::ParseTcpFraming(bytes);
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    if (!fields) return 0;
    Require(tavik::net::EndsWithTcpEndMark(text));
    Require(text.find("/$0") != std::string_view::npos);
    for (const std::string* part : {&fields->text, &fields->name, &fields->replyAddress}) {
        Require(part->find('\0') == std::string::npos);
        Require(text.find(*part) != std::string_view::npos);
    }
    // The name never holds the marker that ends it.
    Require(fields->name.find("/$2") == std::string::npos);
    Require(fields->replyAddress.find("/$6") == std::string::npos);
    return 0;
}
