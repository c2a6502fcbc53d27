// window-layout: prints where a window and every window inside it lie, in the screen's own pixels,
// for tests that compare layouts at different DPIs; optionally first sends the window a DPI change
// as Windows does when it moves to a monitor of another DPI.
//   window-layout <window handle, hex> [dpi-change <dpi> <left> <top> <right> <bottom>]
// Lines, fields separated by tabs:
//   window <screen dpi> <x> <y> <width> <height> <client width> <client height>
//   child <handle> <parent> <control id> <visible> <class> <x> <y> <width> <height> <client w> <client h>
//   buttons <toolbar handle> <width> <height>     (the toolbar's button size)
//   lines <edit handle> <line height>             (of a multi-line edit showing two lines or more)
// A child's x and y are relative to its parent's client area. Ends with 1 and a reason when the
// window is not there or the change could not be sent.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using SetProcessDpiAwarenessContextCall = BOOL(WINAPI*)(HANDLE);

template <typename Call>
Call User32(const char* name) {
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

unsigned long long Handle(HWND window) { return reinterpret_cast<unsigned long long>(window) & 0xffffffffull; }

void PrintChildren(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect, client;
        GetWindowRect(child, &rect);
        GetClientRect(child, &client);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("child\t%llx\t%llx\t%d\t%d\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\n", Handle(child), Handle(parent),
                    GetDlgCtrlID(child), IsWindowVisible(child) ? 1 : 0, ClassOf(child).c_str(), rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, client.right, client.bottom);
        if (ClassOf(child) == TOOLBARCLASSNAMEA) {
            DWORD_PTR size = 0;
            SendMessageTimeoutA(child, TB_GETBUTTONSIZE, 0, 0, SMTO_ABORTIFHUNG, 5000, &size);
            std::printf("buttons\t%llx\t%u\t%u\n", Handle(child), LOWORD(size), HIWORD(size));
        }
        if (ClassOf(child) == "Edit" && (GetWindowLongA(child, GWL_STYLE) & ES_MULTILINE)) {
            DWORD_PTR second = 0, top = 0, next = 0;
            SendMessageTimeoutA(child, EM_LINEINDEX, 1, 0, SMTO_ABORTIFHUNG, 5000, &second);
            if (static_cast<LRESULT>(second) > 0 &&
                SendMessageTimeoutA(child, EM_POSFROMCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &top) &&
                SendMessageTimeoutA(child, EM_POSFROMCHAR, second, 0, SMTO_ABORTIFHUNG, 5000, &next)) {
                std::printf("lines\t%llx\t%d\n", Handle(child),
                            static_cast<short>(HIWORD(next)) - static_cast<short>(HIWORD(top)));
            }
        }
        PrintChildren(child);
    }
}

// Sends WM_DPICHANGED with its suggested rectangle placed in the window's own process, where the
// message's pointer must point.
bool SendDpiChange(HWND window, UINT dpi, const RECT& suggested) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return false;
    bool sent = false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote != nullptr && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        DWORD_PTR result = 0;
        sent = SendMessageTimeoutA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                   SMTO_NORMAL, 20000, &result) != 0;
    }
    // The window has handled the message once it answered: the rectangle is no longer needed.
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent;
}

}  // namespace

int main(int argc, char** argv) {
    // Coordinates in the screen's pixels, whatever the DPI.
    if (auto aware = User32<SetProcessDpiAwarenessContextCall>("SetProcessDpiAwarenessContext")) {
        aware(reinterpret_cast<HANDLE>(-4));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    } else {
        SetProcessDPIAware();
    }
    if (argc != 2 && argc != 8) {
        std::fprintf(stderr, "usage: window-layout <hwnd hex> [dpi-change <dpi> <left> <top> <right> <bottom>]\n");
        return 2;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[1], nullptr, 16)));
    if (!IsWindow(window)) {
        std::fprintf(stderr, "no window %s\n", argv[1]);
        return 1;
    }
    if (argc == 8) {
        RECT suggested{std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
        if (!SendDpiChange(window, static_cast<UINT>(std::atoi(argv[3])), suggested)) {
            std::fprintf(stderr, "the DPI change could not be sent (error %lu)\n", GetLastError());
            return 1;
        }
    }

    // The screen's DPI as this process sees it (Wine answers GetDpiForWindow for a window of
    // another process with 96 whatever the DPI).
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT rect, client;
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    std::printf("window\t%d\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\n", dpi, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, client.right, client.bottom);
    PrintChildren(window);
    std::fflush(stdout);
    return 0;
}
