// Reads arbitrary bytes as a message file; whatever parses must encode back to the same
// bytes after the flag, up to the first NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/store/message_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto file = tavik::store::ReadMessageFile(bytes);
    if (!file) return 0;
    const std::string_view content = bytes.substr(0, bytes.find('\0'));
    const std::string again = tavik::store::EncodeMessageFile(file->highPriority, file->sender, file->text);
    if (file->sender.find("\r\n") != std::string::npos) std::abort();
    if (std::string_view(again).substr(1) != content.substr(1)) std::abort();
    if (file->highPriority != (content[0] == '1')) std::abort();
    return 0;
}
