#include "core/net/tcp_framing.h"

#include "core/net/marker_search.h"

namespace tavik::net {

bool EndsWithTcpEndMark(std::string_view data) {
    return data.ends_with(kTcpEndMark) || data.ends_with(kTcpEndMarkLine);
}

std::optional<MessageFields> ParseTcpFraming(std::string_view data) {
    data = UpToNul(data);
    if (!EndsWithTcpEndMark(data)) return std::nullopt;

    constexpr std::size_t kMarkerSize = 3;
    std::size_t field0 = FindMarker(data, "/$0", 0, false);
    if (field0 == kNoMarker) return std::nullopt;
    field0 += kMarkerSize;
    // The last "/$1": a text may carry "/$1" of its own.
    std::size_t end0 = data.rfind("/$1");
    if (end0 == kNoMarker || end0 < field0) return std::nullopt;
    std::size_t field1 = end0 + kMarkerSize;
    std::size_t end1 = FindMarker(data, "/$2", field1, true);
    if (end1 == kNoMarker) return std::nullopt;

    MessageFields fields;
    fields.text = std::string(data.substr(field0, end0 - field0));
    fields.name = std::string(data.substr(field1, end1 - field1));

    std::size_t field3 = FindMarker(data, "/$3", end1 + kMarkerSize, true);
    if (field3 == kNoMarker) return fields;
    field3 += kMarkerSize;
    // The flag byte counts only when a "/$4" follows it.
    std::size_t field4 = FindMarker(data, "/$4", field3, true);
    if (field4 == kNoMarker) return fields;
    fields.flag = data[field3];
    std::size_t field5 = FindMarker(data, "/$5", field4 + kMarkerSize, true);
    if (field5 == kNoMarker) return fields;
    field5 += kMarkerSize;
    std::size_t end5 = FindMarker(data, "/$6", field5, false);
    if (end5 == kNoMarker) return fields;
    fields.replyAddress = std::string(data.substr(field5, end5 - field5));
    return fields;
}

}  // namespace tavik::net
