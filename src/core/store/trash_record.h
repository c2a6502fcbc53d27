#pragma once
// The trash record: one file per deleted message under "<data>trash\", holding all that a
// restore needs. Layout: position (u32 little-endian), CR LF, file path, CR LF, priority
// byte 0x01/0x00, sender, CR LF, stamped text, CR LF. At least 13 bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::store {

inline constexpr std::size_t kMinTrashRecordSize = 13;

struct TrashRecord {
    std::uint32_t position = 0;  // 1-based position in the history when deleted
    std::string filePath;        // empty when the message had no file
    bool highPriority = false;
    std::string sender;
    std::string text;
};

std::string EncodeTrashRecord(const TrashRecord& record);

// nullopt for fewer than 13 bytes or a missing CR after the path or the sender. The
// closing CR LF is not part of the text, so a restored text is the deleted one.
std::optional<TrashRecord> DecodeTrashRecord(std::string_view bytes);

// "<data>trash\"
std::string TrashFolder(const std::string& dataDirectory);
// "<data>trash\del_mess<number>.qms"
std::string TrashRecordPath(const std::string& dataDirectory, std::int32_t number);

}  // namespace tavik::store
