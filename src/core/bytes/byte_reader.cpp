#include "core/bytes/byte_reader.h"

namespace tavik::bytes {

bool ByteReader::Has(std::size_t count) {
    if (failed_ || count > Remaining()) {
        failed_ = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::ReadByte() {
    if (!Has(1)) return 0;
    return static_cast<std::uint8_t>(bytes_[position_++]);
}

std::string_view ByteReader::ReadBytes(std::size_t count) {
    if (!Has(count)) return {};
    const std::string_view read = bytes_.substr(position_, count);
    position_ += count;
    return read;
}

std::uint16_t ByteReader::ReadU16LE() {
    const std::string_view read = ReadBytes(2);
    if (read.empty()) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(read[0]) | static_cast<std::uint8_t>(read[1]) << 8);
}

std::uint16_t ByteReader::ReadU16BE() {
    const std::string_view read = ReadBytes(2);
    if (read.empty()) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(read[0]) << 8 | static_cast<std::uint8_t>(read[1]));
}

std::uint32_t ByteReader::ReadU32LE() {
    const std::string_view read = ReadBytes(4);
    std::uint32_t value = 0;
    for (std::size_t i = read.size(); i > 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(read[i - 1]);
    }
    return value;
}

std::string_view ByteReader::ReadTerminated(std::string_view terminator) {
    if (failed_) return {};
    const std::size_t end = bytes_.find(terminator, position_);
    if (end == std::string_view::npos) {
        failed_ = true;
        return {};
    }
    const std::string_view read = bytes_.substr(position_, end - position_);
    position_ = end + terminator.size();
    return read;
}

std::string_view ByteReader::ReadUpToNulOrEnd() {
    if (failed_) return {};
    const std::string_view read = UpToNul(bytes_.substr(position_));
    position_ += read.size();
    if (position_ < bytes_.size()) ++position_;  // the NUL
    return read;
}

std::string_view ByteReader::ReadRest() {
    if (failed_) return {};
    const std::string_view read = bytes_.substr(position_);
    position_ = bytes_.size();
    return read;
}

void ByteReader::Skip(std::size_t count) {
    if (Has(count)) position_ += count;
}

std::uint8_t ByteReader::PeekByte() const {
    if (failed_ || position_ >= bytes_.size()) return 0;
    return static_cast<std::uint8_t>(bytes_[position_]);
}

}  // namespace tavik::bytes
