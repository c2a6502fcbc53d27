// drive-dialog: works a dialog of another process by its control ids, as a user would, without
// waiting for what the dialog does in answer (a command may open a modal dialog of its own).
//   drive-dialog <window handle, hex> <operation> [<operation> ...]
// Operations act on the target window, at first the one given:
//   command ID           post WM_COMMAND ID (a menu or accelerator command)
//   click ID             click a button of the target (posted, so a dialog it opens does not hold us)
//   set-text ID TEXT     set a control's text (its change notification follows)
//   hot-key ID VALUE     set a hot-key control (low byte key, high byte modifiers)
//   page INDEX           make a property sheet's page INDEX current (the page left saves itself)
//   press ok|cancel      press a property sheet's button
//   @page                target the current page of the property sheet targeted
// Prints nothing; ends with 1 and a reason on the first operation that fails.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT kTimeoutMs = 10000;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs,
                               result != nullptr ? result : &ignored) != 0;
}

int Fail(const char* what, const char* argument) {
    std::fprintf(stderr, "%s %s failed (error %lu)\n", what, argument, GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: drive-dialog <window, hex> <operation> ...\n");
        return 2;
    }
    HWND target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[1], nullptr, 16)));
    if (!IsWindow(target)) return Fail("window", argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::string operation = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (operation == "@page") {
            DWORD_PTR page = 0;
            if (!Send(target, PSM_GETCURRENTPAGEHWND, 0, 0, &page) || page == 0) return Fail("@page", "");
            target = reinterpret_cast<HWND>(page);
        } else if (operation == "command") {
            const char* id = next();
            if (!PostMessageA(target, WM_COMMAND, std::strtoul(id, nullptr, 0), 0)) return Fail("command", id);
        } else if (operation == "click") {
            const char* id = next();
            HWND button = GetDlgItem(target, static_cast<int>(std::strtol(id, nullptr, 0)));
            if (button == nullptr || !PostMessageA(button, BM_CLICK, 0, 0)) return Fail("click", id);
        } else if (operation == "set-text") {
            const char* id = next();
            const char* text = next();
            HWND control = GetDlgItem(target, static_cast<int>(std::strtol(id, nullptr, 0)));
            if (control == nullptr || !Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) {
                return Fail("set-text", id);
            }
        } else if (operation == "hot-key") {
            const char* id = next();
            const char* value = next();
            HWND control = GetDlgItem(target, static_cast<int>(std::strtol(id, nullptr, 0)));
            if (control == nullptr || !Send(control, HKM_SETHOTKEY, std::strtoul(value, nullptr, 0), 0)) {
                return Fail("hot-key", id);
            }
        } else if (operation == "page") {
            const char* index = next();
            DWORD_PTR done = 0;
            if (!Send(target, PSM_SETCURSEL, std::strtoul(index, nullptr, 0), 0, &done) || !done) {
                return Fail("page", index);
            }
        } else if (operation == "press") {
            const char* button = next();
            const WPARAM which = std::strcmp(button, "ok") == 0 ? PSBTN_OK : PSBTN_CANCEL;
            if (!PostMessageA(target, PSM_PRESSBUTTON, which, 0)) return Fail("press", button);
        } else {
            return Fail("unknown operation", operation.c_str());
        }
    }
    return 0;
}
