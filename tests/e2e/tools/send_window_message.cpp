// send-window-message: sends window messages to a window and prints each result, as the system
// does at a logoff (WM_QUERYENDSESSION, WM_ENDSESSION) or on a power change.
//   send-window-message <window handle, hex> <message> <wParam> <lParam>
//                       [<message> <wParam> <lParam> <delay ms>]
// The second message, when given, is sent from another thread that delay after the first was
// sent, so it arrives while the window may still be handling the first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

struct WindowMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

WindowMessage Parse(char** argv) {
    return {static_cast<UINT>(std::strtoul(argv[0], nullptr, 0)),
            static_cast<WPARAM>(std::strtoull(argv[1], nullptr, 0)),
            static_cast<LPARAM>(std::strtoll(argv[2], nullptr, 0))};
}

bool Send(HWND window, const WindowMessage& message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message.message, message.wParam, message.lParam, SMTO_NORMAL, 30000, &result)) {
        std::fprintf(stderr, "no answer to %u (error %lu)\n", message.message, GetLastError());
        return false;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(result));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 9) {
        std::fprintf(stderr,
                     "usage: send-window-message <hwnd hex> <message> <wParam> <lParam> "
                     "[<message> <wParam> <lParam> <delay ms>]\n");
        return 2;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[1], nullptr, 16)));
    bool secondAnswered = true;
    std::thread second;
    if (argc == 9) {
        WindowMessage later = Parse(argv + 5);
        DWORD delay = static_cast<DWORD>(std::strtoul(argv[8], nullptr, 0));
        second = std::thread([window, later, delay, &secondAnswered] {
            Sleep(delay);
            secondAnswered = Send(window, later);
        });
    }
    bool firstAnswered = Send(window, Parse(argv + 2));
    if (second.joinable()) second.join();
    std::fflush(stdout);
    return firstAnswered && secondAnswered ? 0 : 1;
}
