#pragma once
// The NetBIOS session service over TCP (RFC 1002, 4.3): every packet is a type byte, a flags
// byte whose lowest bit is bit 16 of the length, and 16 more bits of length (network order),
// then that many bytes. Names travel first-level encoded (RFC 1001, 14.1): a length byte of
// 32, each byte of the 16-byte name as two letters 'A' + half-byte, then the scope labels
// ending with a zero length.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/bytes/byte_reader.h"

namespace tavik::netbios {

inline constexpr std::uint16_t kNetbiosSessionPort = 139;

inline constexpr std::uint8_t kSessionMessage = 0x00;
inline constexpr std::uint8_t kSessionRequest = 0x81;
inline constexpr std::uint8_t kPositiveSessionResponse = 0x82;
inline constexpr std::uint8_t kNegativeSessionResponse = 0x83;
inline constexpr std::uint8_t kSessionKeepAlive = 0x85;

// Error code of a negative session response.
inline constexpr std::uint8_t kCalledNameNotPresent = 0x82;

inline constexpr std::size_t kSessionHeaderSize = 4;
inline constexpr std::uint32_t kMaximumPacketLength = 0x1FFFF;

struct SessionHeader {
    std::uint8_t type = 0;
    std::uint32_t length = 0;  // of the bytes after the header
};

// Nothing when fewer than kSessionHeaderSize bytes are given.
std::optional<SessionHeader> ReadSessionHeader(std::string_view bytes);
// A packet with body, which must not be longer than kMaximumPacketLength.
std::string SessionPacket(std::uint8_t type, std::string_view body = {});

// A 16-byte name, first-level encoded, without scope.
std::string EncodeNetbiosName(std::string_view name);
// The 16-byte name at the reader's position, its scope passed over; nothing (and the reader
// failed) when it is not a well-formed encoded name.
std::optional<std::string> DecodeNetbiosName(bytes::ByteReader& reader);

struct SessionRequest {
    std::string calledName;   // 16 bytes
    std::string callingName;  // 16 bytes
};

std::optional<SessionRequest> ReadSessionRequest(std::string_view body);
// The whole packet of a session request.
std::string BuildSessionRequest(std::string_view calledName, std::string_view callingName);

}  // namespace tavik::netbios
