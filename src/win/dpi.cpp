#include "win/dpi.h"

namespace tavik::win {
namespace {

// DIALOG_DPI_CHANGE_BEHAVIORS: DDC_DISABLE_ALL.
constexpr int kDialogDpiChangesDisabled = 1;

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForSystemCall = UINT(WINAPI*)();
using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);
using SetDialogDpiChangeBehaviorCall = BOOL(WINAPI*)(HWND, int, int);

// A user32 function that older systems lack: null there.
template <typename Call>
Call User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT ScreenDpi() {
    WindowDc screen(nullptr);
    int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowCall>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return ScreenDpi();
}

UINT SystemDpi() {
    static const auto getDpiForSystem = User32Function<GetDpiForSystemCall>("GetDpiForSystem");
    if (getDpiForSystem != nullptr) {
        if (UINT dpi = getDpiForSystem()) return dpi;
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getMetricForDpi = User32Function<GetSystemMetricsForDpiCall>("GetSystemMetricsForDpi");
    if (getMetricForDpi != nullptr) return getMetricForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

int SmallIconSize() { return SystemMetricForDpi(SM_CXSMICON, SystemDpi()); }

Icon LoadIconOfSize(HINSTANCE module, LPCSTR name, int size) {
    if (module != nullptr) {
        return Icon(static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    }
    // A system icon is loaded shared; a copy of the size wanted, made from its resource, is our own.
    HICON shared = LoadIconA(nullptr, name);
    if (shared == nullptr) return Icon();
    return Icon(static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)));
}

void TakeOverDialogDpiChanges(HWND dialog) {
    static const auto setBehavior = User32Function<SetDialogDpiChangeBehaviorCall>("SetDialogDpiChangeBehavior");
    if (setBehavior != nullptr) setBehavior(dialog, kDialogDpiChangesDisabled, kDialogDpiChangesDisabled);
}

void ScaleChildWindows(HWND parent, UINT oldDpi, UINT newDpi, HWND skip) {
    if (oldDpi == 0 || oldDpi == newDpi) return;
    auto scale = [oldDpi, newDpi](LONG length) {
        return MulDiv(length, static_cast<int>(newDpi), static_cast<int>(oldDpi));
    };
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == skip) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        // Both edges are scaled, so neighbours keep meeting where they met.
        int left = scale(rect.left), top = scale(rect.top);
        SetWindowPos(child, nullptr, left, top, scale(rect.right) - left, scale(rect.bottom) - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace tavik::win
