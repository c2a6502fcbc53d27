// tray-tips: prints the tip of every icon in Wine's system tray as the tray itself holds it: the text
// of the tooltip control that shows when the pointer rests on the icon. Icons from left to right,
// one line each, tab-separated, the tip with \\ \t \r \n escaped:
//   <icon window, hex> <tip>
// The tooltip control lives in the tray's process, so its answer is written into memory lent there.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTipChars = 1024;  // as much as a tooltip control hands out

struct RemoteQuery {
    TTTOOLINFOW tool;
    WCHAR text[kTipChars];
};

struct TrayIcon {
    HWND window;
    LONG left;
};

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

BOOL CALLBACK CollectIcon(HWND child, LPARAM found) {
    if (ClassOf(child) == "__winex11_tray_icon") {
        RECT rect{};
        GetWindowRect(child, &rect);
        reinterpret_cast<std::vector<TrayIcon>*>(found)->push_back({child, rect.left});
    }
    return TRUE;
}

BOOL CALLBACK CollectTrayIcons(HWND top, LPARAM found) {
    if (ClassOf(top) == "__winex11_standalone_tray") EnumChildWindows(top, CollectIcon, found);
    return TRUE;
}

BOOL CALLBACK CollectTooltip(HWND top, LPARAM found) {
    if (ClassOf(top) == "tooltips_class32") reinterpret_cast<std::vector<HWND>*>(found)->push_back(top);
    return TRUE;
}

std::string Escape(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\': out += "\\\\"; break;
        case L'\t': out += "\\t"; break;
        case L'\r': out += "\\r"; break;
        case L'\n': out += "\\n"; break;
        default:
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else {
                char utf8[8] = {};
                int length = WideCharToMultiByte(CP_UTF8, 0, &c, 1, utf8, sizeof(utf8), nullptr, nullptr);
                out.append(utf8, length);
            }
        }
    }
    return out;
}

// The text the tooltip control holds for the tool that is the icon window; false when the control
// does not hold that tool or cannot be asked.
bool TipOf(HWND tooltip, HWND icon, std::wstring& tip) {
    DWORD processId = 0;
    GetWindowThreadProcessId(tooltip, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return false;
    bool answered = false;
    auto* remote = static_cast<RemoteQuery*>(
        VirtualAllocEx(process, nullptr, sizeof(RemoteQuery), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote != nullptr) {
        RemoteQuery query{};
        query.tool.cbSize = sizeof(TTTOOLINFOW);
        query.tool.hwnd = icon;
        query.tool.uId = reinterpret_cast<UINT_PTR>(icon);
        query.tool.lpszText = remote->text;
        DWORD_PTR known = 0, result = 0;
        SIZE_T moved = 0;
        // TTM_GETTOOLINFOW tells whether this control holds the icon as a tool at all.
        if (WriteProcessMemory(process, remote, &query, sizeof(query), &moved) &&
            SendMessageTimeoutW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                                &known) &&
            known && WriteProcessMemory(process, remote, &query, sizeof(query), &moved) &&
            SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kTipChars, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                                5000, &result) &&
            ReadProcessMemory(process, remote, &query, sizeof(query), &moved)) {
            query.text[kTipChars - 1] = L'\0';
            tip = query.text;
            answered = true;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return answered;
}

}  // namespace

int main() {
    std::vector<TrayIcon> icons;
    EnumWindows(CollectTrayIcons, reinterpret_cast<LPARAM>(&icons));
    std::sort(icons.begin(), icons.end(), [](const TrayIcon& a, const TrayIcon& b) { return a.left < b.left; });
    std::vector<HWND> tooltips;
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&tooltips));
    int failures = 0;
    for (const TrayIcon& icon : icons) {
        std::wstring tip;
        bool answered = false;
        for (HWND tooltip : tooltips) {
            // A tooltip made for a child window is owned by its top-level window (the tray), so
            // every control is asked whether it holds the icon.
            if (TipOf(tooltip, icon.window, tip)) {
                answered = true;
                break;
            }
        }
        if (!answered) {
            std::fprintf(stderr, "no tooltip answered for icon %llx\n",
                         static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(icon.window)));
            ++failures;
        }
        std::printf("%llx\t%s\n",
                    static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(icon.window) & 0xffffffffu),
                    Escape(tip).c_str());
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
