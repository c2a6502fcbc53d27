#include "core/store/message_file.h"

#include "core/bytes/byte_reader.h"

namespace tavik::store {
namespace {

using bytes::ByteReader;
using bytes::UpToNul;

// Far more copies of one name than a second can bring; past it the message stays
// without a file rather than overwrite one.
constexpr unsigned kMaxNameCopies = 10000;

bool UnsafeInFileName(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string WithCopyNumber(const std::string& path, unsigned copy) {
    if (copy < 2) return path;
    std::string mark = "~";
    mark += std::to_string(copy);
    const std::size_t slash = path.rfind('\\');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + mark;
    return path.substr(0, dot) + mark + path.substr(dot);
}

}  // namespace

std::string EncodeMessageFile(bool highPriority, std::string_view sender, std::string_view stampedText) {
    std::string bytes;
    bytes.reserve(1 + sender.size() + 2 + stampedText.size());
    bytes.push_back(highPriority ? '1' : '0');
    bytes.append(sender);
    bytes.append("\r\n");
    bytes.append(stampedText);
    return bytes;
}

std::optional<MessageFileContent> ReadMessageFile(std::string_view bytes) {
    return TakeMessageFile(std::string(UpToNul(bytes)));
}

std::optional<MessageFileContent> TakeMessageFile(std::string bytes) {
    bytes.resize(UpToNul(bytes).size());
    ByteReader reader(bytes);
    MessageFileContent file;
    file.highPriority = reader.ReadByte() == '1';
    // The sender line starts after the flag byte, so a CR LF in the flag's place does not
    // count: such a file has no sender line of its own.
    file.sender = reader.ReadTerminated("\r\n");
    if (!reader.Ok()) return std::nullopt;
    bytes.erase(0, reader.Position());
    file.text = std::move(bytes);
    return file;
}

std::string StoredSender(std::string_view deliveredSender) {
    std::string sender(UpToNul(deliveredSender));
    for (char& c : sender) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return sender;
}

std::string SenderPrefix(std::string_view sender) {
    std::string_view name = UpToNul(sender);
    name = name.substr(0, name.find('/'));
    name = name.substr(0, kSenderPrefixLength);
    std::string prefix(name);
    for (char& c : prefix) {
        if (UnsafeInFileName(static_cast<unsigned char>(c))) c = '_';
    }
    return prefix;
}

std::string MessagesFolder(const std::string& dataDirectory) {
    std::string folder = dataDirectory;
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder + "messages\\";
}

std::string MessageFilePath(const std::string& dataDirectory, std::int64_t seconds, std::string_view sender,
                            unsigned copy) {
    std::string path = MessagesFolder(dataDirectory) + std::to_string(seconds) + SenderPrefix(sender);
    if (copy >= 2) {
        path += '~';
        path += std::to_string(copy);
    }
    path += kMessageFileSuffix;
    return path;
}

bool WriteMessageFile(MessageFolder& folder, const std::string& path, bool highPriority, std::string_view sender,
                      std::string_view stampedText) {
    if (path.empty()) return false;
    return folder.WriteWhole(path, EncodeMessageFile(highPriority, sender, stampedText));
}

std::optional<std::string> WriteNewMessageFile(MessageFolder& folder, const std::string& path, bool highPriority,
                                               std::string_view sender, std::string_view stampedText,
                                               NameCopies* copies) {
    if (path.empty()) return std::nullopt;
    const std::string bytes = EncodeMessageFile(highPriority, sender, stampedText);
    for (unsigned copy = copies ? copies->FirstToTry(path) : 1; copy <= kMaxNameCopies; ++copy) {
        std::string candidate = WithCopyNumber(path, copy);
        switch (folder.WriteNew(candidate, bytes)) {
        case NewFileResult::Written:
            if (copies) copies->Taken(path, copy);
            return candidate;
        case NewFileResult::NameTaken: continue;
        case NewFileResult::Failed: return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace tavik::store
