#include "core/store/trash_record.h"

#include "core/bytes/byte_reader.h"

namespace tavik::store {

using bytes::ByteReader;
using bytes::UpToNul;

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
    ByteReader reader(bytes);
    TrashRecord record;
    record.position = reader.ReadU32LE();
    // The line ends are found by their CR; the byte after each is passed over unread.
    reader.Skip(2);
    // The record's strings end at a NUL, as the history's strings do.
    record.filePath = UpToNul(reader.ReadTerminated("\r"));
    reader.Skip(1);
    record.highPriority = reader.ReadByte() == 0x01;
    record.sender = UpToNul(reader.ReadTerminated("\r"));
    if (reader.Remaining() > 0) reader.Skip(1);  // the text may be missing along with the LF
    std::string_view text = reader.ReadRest();
    if (!reader.Ok()) return std::nullopt;
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
