// mailslot-datagrams: writes the datagrams it reads from standard input to this machine's messenger
// mailslot, as they are (any bytes, well-formed or not). Standard input holds records: a 4-byte
// little-endian length, then that many bytes. Prints "written <n>" at the end; the exit code is 0
// only when every record was read whole and written.
// Usage: mailslot-datagrams.exe < records
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// False at the end of the input, or when it ends inside a record.
bool ReadExactly(HANDLE input, void* buffer, DWORD size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    DWORD got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!ReadFile(input, bytes + got, size - got, &read, nullptr) || read == 0) return false;
        got += read;
    }
    return true;
}

}  // namespace

int main() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE slot = CreateFileA("\\\\.\\mailslot\\messngr", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "mailslot-datagrams: cannot open the mailslot (error %lu)\n", GetLastError());
        std::printf("written 0\n");
        return 1;
    }
    long written = 0;
    bool whole = true;
    std::string datagram;
    for (;;) {
        unsigned char length[4];
        DWORD got = 0;
        if (!ReadFile(input, length, 1, &got, nullptr) || got == 0) break;  // the end of the input
        if (!ReadExactly(input, length + 1, 3)) {
            whole = false;
            break;
        }
        const std::uint32_t size = length[0] | length[1] << 8 | length[2] << 16 | std::uint32_t{length[3]} << 24;
        datagram.resize(size);
        if (size > 0 && !ReadExactly(input, datagram.data(), size)) {
            whole = false;
            break;
        }
        DWORD done = 0;
        if (!WriteFile(slot, datagram.data(), size, &done, nullptr) || done != size) {
            std::fprintf(stderr, "mailslot-datagrams: datagram %ld not written (error %lu)\n", written, GetLastError());
            whole = false;
            break;
        }
        ++written;
    }
    CloseHandle(slot);
    std::printf("written %ld\n", written);
    std::fflush(stdout);
    return whole ? 0 : 1;
}
