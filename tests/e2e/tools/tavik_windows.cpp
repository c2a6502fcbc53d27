// tavik-windows: lists the session's top-level windows and their controls as the Windows side sees
// them, for tests that must know more than the X display shows (owner, exact texts, visibility).
// One line per window, fields separated by tabs, texts with \\ \t \r \n escaped:
//   top  <hwnd> <owner> <process id> <visible> <foreground> <style> <class> <text>
//   child <hwnd> <parent> <process id> <visible> <control id> <style> <class> <text>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

// WM_GETTEXT reaches controls of other processes (an edit control keeps its text to itself);
// a window that does not answer within the time-out falls back to the text the system holds.
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        char buffer[1024] = {};
        GetWindowTextA(window, buffer, sizeof(buffer));
        return buffer;
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

unsigned long long Handle(HWND window) { return reinterpret_cast<unsigned long long>(window) & 0xffffffffull; }

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(child, &processId);
    std::printf("child\t%llx\t%llx\t%lu\t%d\t%ld\t%lx\t%s\t%s\n", Handle(child), Handle(GetParent(child)), processId,
                IsWindowVisible(child) ? 1 : 0, static_cast<long>(GetDlgCtrlID(child)),
                static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)), Escape(ClassOf(child)).c_str(),
                Escape(TextOf(child)).c_str());
    return TRUE;
}

BOOL CALLBACK PrintTop(HWND window, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    std::printf("top\t%llx\t%llx\t%lu\t%d\t%d\t%lx\t%s\t%s\n", Handle(window), Handle(GetWindow(window, GW_OWNER)),
                processId, IsWindowVisible(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)), Escape(ClassOf(window)).c_str(),
                Escape(TextOf(window)).c_str());
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

}  // namespace

int main() {
    EnumWindows(PrintTop, 0);
    std::fflush(stdout);
    return 0;
}
