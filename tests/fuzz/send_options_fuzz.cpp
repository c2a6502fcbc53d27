// tavik-send's command line from arbitrary bytes: the input splits into argument words at NUL
// bytes. A command line taken as usable must name a destination it can send to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "send/send_options.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> SplitAtNul(std::string_view bytes) {
    std::vector<std::string> words;
    if (bytes.empty()) return words;
    for (;;) {
        const std::size_t nul = bytes.find('\0');
        words.emplace_back(bytes.substr(0, nul));
        if (nul == std::string_view::npos) return words;
        bytes.remove_prefix(nul + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavik::send;
    const ParsedOptions parsed = ParseSendOptions(SplitAtNul({reinterpret_cast<const char*>(data), size}));
    const SendOptions& options = parsed.options;
    if (!parsed.error.empty() || options.help) return 0;
    Require(options.mode != SendMode::None);
    if (options.mode != SendMode::Mailslot) Require(!options.host.empty() && options.port != 0);
    Require(options.timeoutSeconds >= 1 && options.timeoutSeconds <= 3600);
    Require(!options.replyPort || *options.replyPort != 0);
    return 0;
}
