#include "core/netbios/session_packet.h"

#include "core/netbios/netbios_name.h"

namespace tavik::netbios {

namespace {

constexpr std::uint8_t kEncodedNameLength = 2 * kNetbiosNameSize;
constexpr std::uint8_t kLongestLabel = 63;
constexpr std::uint8_t kLengthExtension = 0x01;

}  // namespace

std::optional<SessionHeader> ReadSessionHeader(std::string_view bytes) {
    bytes::ByteReader reader(bytes);
    SessionHeader header;
    header.type = reader.ReadByte();
    const std::uint8_t flags = reader.ReadByte();
    header.length = reader.ReadU16BE();
    if (!reader.Ok()) return std::nullopt;
    if (flags & kLengthExtension) header.length |= 0x10000;
    return header;
}

std::string SessionPacket(std::uint8_t type, std::string_view body) {
    const std::uint32_t length = static_cast<std::uint32_t>(body.size()) & kMaximumPacketLength;
    std::string packet;
    packet.reserve(kSessionHeaderSize + body.size());
    packet.push_back(static_cast<char>(type));
    packet.push_back(static_cast<char>(length >> 16));
    packet.push_back(static_cast<char>(length >> 8 & 0xFF));
    packet.push_back(static_cast<char>(length & 0xFF));
    packet.append(body);
    return packet;
}

std::string EncodeNetbiosName(std::string_view name) {
    std::string encoded(1, static_cast<char>(kEncodedNameLength));
    for (std::size_t i = 0; i < kNetbiosNameSize; ++i) {
        const auto byte = i < name.size() ? static_cast<std::uint8_t>(name[i]) : std::uint8_t{0};
        encoded.push_back(static_cast<char>('A' + (byte >> 4)));
        encoded.push_back(static_cast<char>('A' + (byte & 0x0F)));
    }
    encoded.push_back('\0');  // no scope
    return encoded;
}

std::optional<std::string> DecodeNetbiosName(bytes::ByteReader& reader) {
    const std::uint8_t length = reader.ReadByte();
    const std::string_view letters = reader.ReadBytes(kEncodedNameLength);
    if (length != kEncodedNameLength) reader.Fail();
    if (!reader.Ok()) return std::nullopt;
    std::string name;
    bool wellFormed = true;
    for (std::size_t i = 0; i < letters.size(); i += 2) {
        const int high = letters[i] - 'A';
        const int low = letters[i + 1] - 'A';
        wellFormed = wellFormed && high >= 0 && high < 16 && low >= 0 && low < 16;
        name.push_back(static_cast<char>(high << 4 | low));
    }
    // The scope: labels up to one of length zero.
    for (std::uint8_t label = reader.ReadByte(); reader.Ok() && label != 0; label = reader.ReadByte()) {
        wellFormed = wellFormed && label <= kLongestLabel;
        reader.Skip(label);
    }
    if (!wellFormed) reader.Fail();
    if (!reader.Ok()) return std::nullopt;
    return name;
}

std::optional<SessionRequest> ReadSessionRequest(std::string_view body) {
    bytes::ByteReader reader(body);
    std::optional<std::string> called = DecodeNetbiosName(reader);
    std::optional<std::string> calling = DecodeNetbiosName(reader);
    if (!called || !calling) return std::nullopt;
    return SessionRequest{std::move(*called), std::move(*calling)};
}

std::string BuildSessionRequest(std::string_view calledName, std::string_view callingName) {
    return SessionPacket(kSessionRequest, EncodeNetbiosName(calledName) + EncodeNetbiosName(callingName));
}

}  // namespace tavik::netbios
