// mailslot-flood: writes many Messenger datagrams to this machine's messenger mailslot back to back,
// from one process (starting a process per datagram under Wine would be slower than the receiver).
// Usage: mailslot-flood.exe <count> <sender> <recipient> <text prefix>
// Datagram i (from 0) is: sender NUL recipient NUL "<text prefix>-<i>". Prints "writing" once the
// mailslot is open and "written <n>" at the end; the exit code is 0 only when every datagram went out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: mailslot-flood <count> <sender> <recipient> <text prefix>\n");
        return 2;
    }
    char* end = nullptr;
    long count = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || count < 0) {
        std::fprintf(stderr, "mailslot-flood: bad count %s\n", argv[1]);
        return 2;
    }
    HANDLE slot = CreateFileA("\\\\.\\mailslot\\messngr", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "mailslot-flood: cannot open the mailslot (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("writing\n");
    std::fflush(stdout);
    long written = 0;
    for (long i = 0; i < count; ++i) {
        std::string datagram = std::string(argv[2]) + '\0' + argv[3] + '\0' + argv[4] + "-" + std::to_string(i);
        DWORD done = 0;
        if (!WriteFile(slot, datagram.data(), static_cast<DWORD>(datagram.size()), &done, nullptr) ||
            done != datagram.size()) {
            std::fprintf(stderr, "mailslot-flood: datagram %ld not written (error %lu)\n", i, GetLastError());
            break;
        }
        ++written;
    }
    CloseHandle(slot);
    std::printf("written %ld\n", written);
    std::fflush(stdout);
    return written == count ? 0 : 1;
}
