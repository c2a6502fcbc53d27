// send-window-message: sends one window message to a window and prints the result, as the
// system does at a logoff (WM_QUERYENDSESSION, WM_ENDSESSION) or on a power change.
//   send-window-message <window handle, hex> <message> <wParam> <lParam>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: send-window-message <hwnd hex> <message> <wParam> <lParam>\n");
        return 2;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[1], nullptr, 16)));
    UINT message = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
    WPARAM wParam = static_cast<WPARAM>(std::strtoull(argv[3], nullptr, 0));
    LPARAM lParam = static_cast<LPARAM>(std::strtoll(argv[4], nullptr, 0));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, &result)) {
        std::fprintf(stderr, "no answer (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(result));
    return 0;
}
