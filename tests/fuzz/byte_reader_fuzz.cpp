// Drives a byte reader with a chosen sequence of reads. Input: one byte n, then n operation bytes
// (low nibble: which read, high nibble: its count or terminator), then the bytes to read, copied to
// a buffer of exactly their size so that any read outside them trips AddressSanitizer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "core/bytes/byte_reader.h"

namespace {

using tavik::bytes::ByteReader;

constexpr std::array<std::string_view, 4> kTerminators = {"\r", "\r\n", std::string_view("\0#", 2), "/$1"};

const char* gBegin = nullptr;
const char* gEnd = nullptr;

// Every view handed out lies inside the bytes; touching each byte lets ASan confirm it.
std::size_t Check(std::string_view read) {
    if (read.empty()) return 0;
    if (read.data() < gBegin || read.data() + read.size() > gEnd) std::abort();
    std::size_t sum = 0;
    for (char c : read) sum += static_cast<unsigned char>(c);
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t opCount = data[0] < size - 1 ? data[0] : size - 1;
    const std::uint8_t* ops = data + 1;
    const std::size_t byteCount = size - 1 - opCount;
    std::unique_ptr<char[]> bytes(new char[byteCount]);
    for (std::size_t i = 0; i < byteCount; ++i) bytes[i] = static_cast<char>(data[1 + opCount + i]);
    gBegin = bytes.get();
    gEnd = bytes.get() + byteCount;

    ByteReader reader(std::string_view(bytes.get(), byteCount));
    volatile std::size_t sink = 0;
    for (std::size_t i = 0; i < opCount; ++i) {
        const bool wasOk = reader.Ok();
        const std::size_t before = reader.Position();
        const unsigned arg = ops[i] >> 4;
        std::size_t expectedAdvance = 0;
        switch (ops[i] & 0x0F) {
        case 0:
            sink = sink + reader.ReadByte();
            expectedAdvance = 1;
            break;
        case 1: {
            const std::string_view read = reader.ReadBytes(arg);
            if (reader.Ok() && read.size() != arg) std::abort();
            sink = sink + Check(read);
            expectedAdvance = arg;
            break;
        }
        case 2:
            sink = sink + reader.ReadU16LE();
            expectedAdvance = 2;
            break;
        case 3:
            sink = sink + reader.ReadU32LE();
            expectedAdvance = 4;
            break;
        case 4: {
            const std::string_view read = reader.ReadNulTerminated();
            if (read.find('\0') != std::string_view::npos) std::abort();
            sink = sink + Check(read);
            expectedAdvance = read.size() + 1;
            break;
        }
        case 5: {
            const std::string_view read = reader.ReadUpToNulOrEnd();
            if (read.find('\0') != std::string_view::npos) std::abort();
            sink = sink + Check(read);
            expectedAdvance = read.size() + (before + read.size() < reader.Size() ? 1 : 0);  // the NUL
            break;
        }
        case 6:
            reader.Skip(arg);
            expectedAdvance = arg;
            break;
        case 7: {
            const std::string_view terminator = kTerminators[arg % kTerminators.size()];
            const std::string_view read = reader.ReadTerminated(terminator);
            sink = sink + Check(read);
            expectedAdvance = read.size() + terminator.size();
            break;
        }
        case 8: sink = sink + reader.PeekByte(); break;
        default:
            sink = sink + Check(reader.ReadRest());
            expectedAdvance = reader.Size() - before;
            break;
        }
        if (reader.Position() > reader.Size() || reader.Remaining() != reader.Size() - reader.Position()) std::abort();
        if (!wasOk && reader.Ok()) std::abort();  // a failure sticks
        const std::size_t advance = reader.Position() - before;
        if (reader.Ok() ? advance != expectedAdvance : advance != 0) std::abort();
    }
    return 0;
}
