#include "core/net/tcp_framing.h"

#include "core/bytes/byte_reader.h"

namespace tavik::net {

bool EndsWithTcpEndMark(std::string_view data) {
    return data.ends_with(kTcpEndMark) || data.ends_with(kTcpEndMarkLine);
}

std::optional<MessageFields> ParseTcpFraming(std::string_view data) {
    data = bytes::UpToNul(data);
    if (!EndsWithTcpEndMark(data)) return std::nullopt;

    // Each marker is searched after the previous one. Every marker found lies before the end
    // mark, so there is always a byte after it.
    constexpr std::size_t kMarkerSize = 3;
    bytes::ByteReader reader(data);
    reader.ReadTerminated("/$0");  // whatever comes before the text
    // The last "/$1": a text may carry "/$1" of its own.
    const std::size_t textEnd = data.rfind("/$1");
    if (!reader.Ok() || textEnd == std::string_view::npos || textEnd < reader.Position()) return std::nullopt;
    MessageFields fields;
    fields.text = reader.ReadBytes(textEnd - reader.Position());
    reader.Skip(kMarkerSize);
    fields.name = reader.ReadTerminated("/$2");
    if (!reader.Ok()) return std::nullopt;

    // From here a missing marker leaves its field and the ones after it empty.
    reader.ReadTerminated("/$3");
    const char flag = static_cast<char>(reader.PeekByte());
    reader.ReadTerminated("/$4");  // the flag byte counts only when a "/$4" follows it
    if (!reader.Ok()) return fields;
    fields.flag = flag;
    reader.ReadTerminated("/$5");
    const std::string_view replyAddress = reader.ReadTerminated("/$6");
    if (reader.Ok()) fields.replyAddress = replyAddress;
    return fields;
}

}  // namespace tavik::net
