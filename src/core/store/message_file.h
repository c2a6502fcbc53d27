#pragma once
// The message file: one file per stored message under "<data>messages\", named
// "<seconds><sender prefix>.qms". Layout: the priority flag "1" or "0", the sender, CR LF,
// the stamped text; no header, length or final line break.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/message_folder.h"
#include "core/store/name_copies.h"

namespace tavik::store {

inline constexpr std::string_view kMessageFileSuffix = ".qms";
inline constexpr std::size_t kSenderPrefixLength = 16;

struct MessageFileContent {
    bool highPriority = false;
    std::string sender;
    std::string text;
};

// The file's bytes, exactly.
std::string EncodeMessageFile(bool highPriority, std::string_view sender, std::string_view stampedText);

// Reads a file's bytes: flag = first byte ("1" is high priority), sender = from offset 1 to
// the first CR LF, text = the rest. The bytes count as a NUL-terminated string, so a NUL
// ends the text, and a NUL before the CR LF hides it. nullopt when there is no CR LF.
std::optional<MessageFileContent> ReadMessageFile(std::string_view bytes);
// The same, keeping the bytes' own buffer as the text: no copy of it is made.
std::optional<MessageFileContent> TakeMessageFile(std::string bytes);

// The sender as stored in the file and the history: CR and LF become blanks (a sender
// line cannot hold them), and it ends at a NUL as the delivered string does.
std::string StoredSender(std::string_view deliveredSender);

// The sender up to its first "/", at most 16 characters, with every character a file name
// cannot hold safely ("\/:*?"<>|" and control bytes) replaced by "_".
std::string SenderPrefix(std::string_view sender);

// "<data>messages\" (adds the backslash when the data directory lacks it).
std::string MessagesFolder(const std::string& dataDirectory);

// "<data>messages\<seconds><prefix>.qms", or with "~<copy>" before ".qms" for copy >= 2.
std::string MessageFilePath(const std::string& dataDirectory, std::int64_t seconds, std::string_view sender,
                            unsigned copy = 1);

// Writes the file whole or not at all; false when it could not be written.
bool WriteMessageFile(MessageFolder& folder, const std::string& path, bool highPriority, std::string_view sender,
                      std::string_view stampedText);

// Writes a message under path or, when a file has that name, under the first free "~2", "~3",
// ... variant, never replacing a file; copies, when given, says where to start and learns the
// copy taken. Returns the path written, nullopt when nothing could be written.
std::optional<std::string> WriteNewMessageFile(MessageFolder& folder, const std::string& path, bool highPriority,
                                               std::string_view sender, std::string_view stampedText,
                                               NameCopies* copies = nullptr);

}  // namespace tavik::store
