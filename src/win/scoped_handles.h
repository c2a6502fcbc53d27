#pragma once
// Owners of Win32 resources: each releases its resource exactly once, when it goes or is reset.

#include <windows.h>

#include <utility>

namespace tavik::win {

// Traits give the empty value and the release call of one kind of resource.
template <typename Traits>
class Scoped {
public:
    using Value = typename Traits::Value;

    Scoped() = default;
    explicit Scoped(Value value) : value_(value) {}
    ~Scoped() { Reset(); }
    Scoped(Scoped&& other) noexcept : value_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Value Get() const { return value_; }
    bool Valid() const { return value_ != Traits::Empty(); }
    explicit operator bool() const { return Valid(); }

    // Releases what it holds and takes value.
    void Reset(Value value = Traits::Empty()) {
        if (Valid()) Traits::Free(value_);
        value_ = value;
    }
    // Releases what it holds now; false when the system reported a failure (a file whose
    // last writes could not be completed, say).
    bool Close() {
        if (!Valid()) return true;
        return Traits::Free(std::exchange(value_, Traits::Empty()));
    }
    // Gives the value up without releasing it.
    Value Release() { return std::exchange(value_, Traits::Empty()); }

private:
    Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static bool Free(HANDLE handle) { return CloseHandle(handle) != 0; }
};

// Files and mailslots report failure as INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
    using Value = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE handle) { return CloseHandle(handle) != 0; }
};

struct FindHandleTraits {
    using Value = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE handle) { return FindClose(handle) != 0; }
};

template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static Object Empty() { return nullptr; }
    static bool Free(Object object) { return DeleteObject(object) != 0; }
};

struct IconTraits {
    using Value = HICON;
    static HICON Empty() { return nullptr; }
    static bool Free(HICON icon) { return DestroyIcon(icon) != 0; }
};

struct MenuTraits {
    using Value = HMENU;
    static HMENU Empty() { return nullptr; }
    static bool Free(HMENU menu) { return DestroyMenu(menu) != 0; }
};

struct LibraryTraits {
    using Value = HMODULE;
    static HMODULE Empty() { return nullptr; }
    static bool Free(HMODULE module) { return FreeLibrary(module) != 0; }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static HKEY Empty() { return nullptr; }
    static bool Free(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

using KernelHandle = Scoped<KernelHandleTraits>;  // threads, events
using FileHandle = Scoped<FileHandleTraits>;      // files, mailslots
using FindHandle = Scoped<FindHandleTraits>;
using Font = Scoped<GdiObjectTraits<HFONT>>;
using Icon = Scoped<IconTraits>;  // only icons made by the program; loaded ones are shared
using Menu = Scoped<MenuTraits>;
using Library = Scoped<LibraryTraits>;
using HkeyOwner = Scoped<RegistryKeyTraits>;

// A window's device context, given back to the window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace tavik::win
