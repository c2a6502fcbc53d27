#include "core/net/udp_framing.h"

#include <array>

#include "core/bytes/byte_reader.h"

namespace tavik::net {

namespace {

constexpr std::array<std::string_view, 7> kMarkers = {
    std::string_view("\0#0", 3), std::string_view("\0#1", 3), std::string_view("\0#2", 3), std::string_view("\0#3", 3),
    std::string_view("\0#4", 3), std::string_view("\0#5", 3), std::string_view("\0#6", 3),
};

}  // namespace

std::optional<MessageFields> ParseUdpFraming(std::string_view datagram) {
    // Each marker is searched after the previous one; all seven are required. A marker with
    // no byte after it leaves nothing for the next one to be found in, so only NUL"#6" can end
    // the datagram.
    bytes::ByteReader reader(datagram);
    reader.ReadTerminated(kMarkers[0]);  // the type word
    std::array<std::string_view, kMarkers.size() - 1> field;
    for (std::size_t i = 1; i < kMarkers.size(); ++i) {
        field[i - 1] = reader.ReadTerminated(kMarkers[i]);
    }
    if (!reader.Ok()) return std::nullopt;

    MessageFields fields;
    fields.text = bytes::UpToNul(field[0]);
    fields.name = bytes::UpToNul(field[1]);
    fields.flag = field[3].empty() ? '\0' : field[3].front();
    fields.replyAddress = bytes::UpToNul(field[5]);
    return fields;
}

}  // namespace tavik::net
