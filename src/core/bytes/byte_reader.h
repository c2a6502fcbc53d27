#pragma once
// Reading received bytes front to back without ever stepping outside them. A read that does
// not fit fails, returns zero or an empty view and leaves the position where it was; the
// failure sticks, so a parser makes all its reads and asks Ok() once at the end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavik::bytes {

// Text handed on as a C string would be: it ends at its first NUL, or at the end of the bytes.
inline std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    // The reader only looks at the bytes; a temporary string would be gone before the reads.
    explicit ByteReader(std::string&&) = delete;
    ByteReader(const unsigned char* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size) {}

    std::uint8_t ReadByte();
    std::string_view ReadBytes(std::size_t count);
    std::uint16_t ReadU16LE();
    std::uint16_t ReadU16BE();  // network order
    std::uint32_t ReadU32LE();

    // The bytes before the next terminator; the terminator is consumed and not returned.
    // No terminator in what remains is a failure.
    std::string_view ReadTerminated(std::string_view terminator);
    std::string_view ReadNulTerminated() { return ReadTerminated(std::string_view("\0", 1)); }
    // Up to the next NUL (consumed) or, lacking one, everything that remains; never fails.
    std::string_view ReadUpToNulOrEnd();
    // Everything that remains; never fails.
    std::string_view ReadRest();

    void Skip(std::size_t count);
    // The next byte without consuming it; zero when none remains.
    std::uint8_t PeekByte() const;

    // For a parser whose own check found the bytes wrong: the failure sticks as any other.
    void Fail() { failed_ = true; }
    bool Ok() const { return !failed_; }
    std::size_t Position() const { return position_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }

private:
    // Fails (and returns false) unless count bytes remain.
    bool Has(std::size_t count);

    std::string_view bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace tavik::bytes
