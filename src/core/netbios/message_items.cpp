#include "core/netbios/message_items.h"

#include <algorithm>

namespace tavik::netbios {

namespace {

bool TakeFormat(bytes::ByteReader& area, std::uint8_t format) {
    if (!area.Ok() || area.Remaining() == 0 || area.PeekByte() != format) return false;
    area.Skip(1);
    return true;
}

}  // namespace

std::optional<std::string_view> ReadNameItem(bytes::ByteReader& area) {
    if (!TakeFormat(area, kNameItemFormat)) return std::nullopt;
    const std::string_view name = area.ReadNulTerminated();
    if (!area.Ok()) return std::nullopt;
    return name;
}

std::optional<std::string_view> ReadDataItem(bytes::ByteReader& area) {
    if (!TakeFormat(area, kDataItemFormat)) return std::nullopt;
    const std::size_t length = area.ReadU16LE();
    // A length beyond the bytes received takes only those.
    const std::string_view data = area.ReadBytes(std::min(length, area.Remaining()));
    if (!area.Ok()) return std::nullopt;
    return data;
}

std::string NameItem(std::string_view name) {
    std::string item(1, static_cast<char>(kNameItemFormat));
    item.append(name);
    item.push_back('\0');
    return item;
}

std::string DataItem(std::string_view data) {
    data = data.substr(0, 0xFFFF);
    std::string item(1, static_cast<char>(kDataItemFormat));
    item.push_back(static_cast<char>(data.size() & 0xFF));
    item.push_back(static_cast<char>(data.size() >> 8));
    item.append(data);
    return item;
}

}  // namespace tavik::netbios
