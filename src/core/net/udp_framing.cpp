#include "core/net/udp_framing.h"

#include <array>

#include "core/net/marker_search.h"

namespace tavik::net {

namespace {

constexpr std::size_t kMarkerSize = 3;

constexpr std::array<std::string_view, 7> kMarkers = {
    std::string_view("\0#0", 3), std::string_view("\0#1", 3), std::string_view("\0#2", 3),
    std::string_view("\0#3", 3), std::string_view("\0#4", 3), std::string_view("\0#5", 3),
    std::string_view("\0#6", 3),
};

}  // namespace

std::optional<MessageFields> ParseUdpFraming(std::string_view datagram) {
    // Each marker is searched after the previous one; all seven are required.
    std::array<std::size_t, kMarkers.size()> at{};
    std::size_t from = 0;
    for (std::size_t i = 0; i < kMarkers.size(); ++i) {
        bool needsFollower = i + 1 < kMarkers.size();
        at[i] = FindMarker(datagram, kMarkers[i], from, needsFollower);
        if (at[i] == kNoMarker) return std::nullopt;
        from = at[i] + kMarkerSize;
    }
    auto field = [&](std::size_t number) {
        std::size_t start = at[number] + kMarkerSize;
        return std::string(UpToNul(datagram.substr(start, at[number + 1] - start)));
    };
    MessageFields fields;
    fields.text = field(0);
    fields.name = field(1);
    fields.flag = datagram[at[3] + kMarkerSize];  // NUL when field 3 is empty
    fields.replyAddress = field(5);
    return fields;
}

}  // namespace tavik::net
