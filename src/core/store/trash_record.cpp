#include "core/store/trash_record.h"

namespace tavik::store {
namespace {

// The record's strings end at a NUL, as the history's strings do.
std::string UpToNul(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

}  // namespace

std::string EncodeTrashRecord(const TrashRecord& record) {
    std::string bytes;
    bytes.reserve(kMinTrashRecordSize + record.filePath.size() + record.sender.size() + record.text.size());
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<char>((record.position >> shift) & 0xFFu));
    }
    bytes.append("\r\n");
    bytes.append(record.filePath);
    bytes.append("\r\n");
    bytes.push_back(record.highPriority ? '\x01' : '\x00');
    bytes.append(record.sender);
    bytes.append("\r\n");
    bytes.append(record.text);
    bytes.append("\r\n");
    return bytes;
}

std::optional<TrashRecord> DecodeTrashRecord(std::string_view bytes) {
    if (bytes.size() < kMinTrashRecordSize) return std::nullopt;
    TrashRecord record;
    for (int i = 3; i >= 0; --i) {
        record.position = (record.position << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    }
    constexpr std::size_t kPathStart = 6;
    const std::size_t pathEnd = bytes.find('\r', kPathStart);
    // The flag stands two places after the path's CR; the sender follows it.
    if (pathEnd == std::string_view::npos || pathEnd + 2 >= bytes.size()) return std::nullopt;
    const std::size_t flagAt = pathEnd + 2;
    const std::size_t senderStart = flagAt + 1;
    const std::size_t senderEnd = bytes.find('\r', senderStart);
    if (senderEnd == std::string_view::npos) return std::nullopt;

    record.filePath = UpToNul(bytes.substr(kPathStart, pathEnd - kPathStart));
    record.highPriority = bytes[flagAt] == '\x01';
    record.sender = UpToNul(bytes.substr(senderStart, senderEnd - senderStart));
    std::string_view text = senderEnd + 2 < bytes.size() ? bytes.substr(senderEnd + 2) : std::string_view();
    if (text.ends_with("\r\n")) text.remove_suffix(2);  // the record's closing line end
    record.text = UpToNul(text);
    return record;
}

std::string TrashFolder(const std::string& dataDirectory) {
    std::string folder = dataDirectory;
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder + "trash\\";
}

std::string TrashRecordPath(const std::string& dataDirectory, std::int32_t number) {
    return TrashFolder(dataDirectory) + "del_mess" + std::to_string(number) + ".qms";
}

}  // namespace tavik::store
