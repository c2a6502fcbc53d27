#include "win/extended_path.h"

#include <windows.h>

namespace tavik::win {
namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    return full;
}

}  // namespace

std::wstring ExtendedPath(const std::string& ansiPath) {
    std::wstring wide = Widen(ansiPath);
    if (wide.empty()) return {};
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    std::wstring full = FullPath(wide);
    if (full.empty()) return {};
    // A trailing separator names the folder itself: FullPath keeps it, as the searches need.
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string AnsiName(const wchar_t* wideName) {
    int length = WideCharToMultiByte(CP_ACP, 0, wideName, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string name(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wideName, -1, name.data(), length, nullptr, nullptr);
    name.resize(static_cast<std::size_t>(length - 1));
    return name;
}

}  // namespace tavik::win
