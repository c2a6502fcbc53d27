#include "core/netbios/smb_block.h"

#include <algorithm>

#include "core/bytes/byte_reader.h"

namespace tavik::netbios {

namespace {

void AppendU16LE(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

std::optional<SmbBlock> ReadSmbBlock(std::string_view bytes) {
    if (bytes.size() < kMinimumBlockSize) return std::nullopt;
    bytes::ByteReader reader(bytes);
    const std::string_view protocol = reader.ReadBytes(kSmbProtocol.size());
    SmbBlock block;
    block.command = reader.ReadByte();
    reader.Skip(kSmbHeaderSize - reader.Position());
    const std::size_t wordCount = reader.ReadByte();
    // Word 0 lies inside the minimum size, so it is always there when the block has words.
    if (wordCount > 0) block.firstWord = reader.ReadU16LE();
    if (!reader.Ok() || protocol != kSmbProtocol) return std::nullopt;

    // From here fields may lie beyond the bytes received; they are then absent.
    if (wordCount > 1) reader.Skip(2 * (wordCount - 1));
    const std::size_t byteCount = reader.ReadU16LE();
    if (reader.Ok()) block.byteArea = reader.ReadBytes(std::min(byteCount, reader.Remaining()));
    return block;
}

std::string BuildSmbBlock(std::uint8_t command, std::initializer_list<std::uint16_t> words, std::string_view byteArea) {
    std::string block(kSmbHeaderSize, '\0');
    block.replace(0, kSmbProtocol.size(), kSmbProtocol);
    block[kSmbProtocol.size()] = static_cast<char>(command);
    block.push_back(static_cast<char>(words.size()));
    for (std::uint16_t word : words) AppendU16LE(block, word);
    AppendU16LE(block, static_cast<std::uint16_t>(std::min<std::size_t>(byteArea.size(), 0xFFFF)));
    block.append(byteArea);
    return block;
}

}  // namespace tavik::netbios
