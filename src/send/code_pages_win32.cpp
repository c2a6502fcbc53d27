// tavik-send's conversions on Windows; other systems use iconv.
#ifdef _WIN32

#include <windows.h>

#include "send/code_pages.h"

namespace tavik::send {

namespace {

std::wstring Utf16(char32_t character) {
    if (character < 0x10000) return std::wstring(1, static_cast<wchar_t>(character));
    const char32_t above = character - 0x10000;
    return {static_cast<wchar_t>(0xD800 + (above >> 10)), static_cast<wchar_t>(0xDC00 + (above & 0x3FF))};
}

std::optional<std::wstring> ToUtf16(std::string_view text, UINT codePage, DWORD flags) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length) != length) return std::nullopt;
    return wide;
}

std::optional<std::string> FromUtf16(const std::wstring& wide, UINT codePage) {
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr) != length) {
        return std::nullopt;
    }
    return bytes;
}

// The character in codePage only when it reads back as itself: a code page without it would
// give its default character or a look-alike ("a" for "ā").
std::optional<std::string> Exactly(char32_t character, UINT codePage) {
    const std::wstring wide = Utf16(character);
    std::optional<std::string> bytes = FromUtf16(wide, codePage);
    if (!bytes || ToUtf16(*bytes, codePage, 0) != wide) return std::nullopt;
    return bytes;
}

class WindowsPages final : public CodePages {
public:
    std::string OwnEncodingName(TextOrigin origin) override {
        return "code page " + std::to_string(OwnCodePage(origin));
    }

    std::optional<std::u32string> Decode(std::string_view text, TextOrigin origin) override {
        std::optional<std::wstring> wide = ToUtf16(text, OwnCodePage(origin), MB_ERR_INVALID_CHARS);
        if (!wide) return std::nullopt;
        std::u32string characters;
        characters.reserve(wide->size());
        for (std::size_t i = 0; i < wide->size(); ++i) {
            const char32_t unit = (*wide)[i];
            const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < wide->size() && (*wide)[i + 1] >= 0xDC00 &&
                              (*wide)[i + 1] < 0xE000;
            if (pair) {
                characters.push_back(0x10000 + ((unit - 0xD800) << 10) + ((*wide)[++i] - 0xDC00));
            } else {
                characters.push_back(unit);
            }
        }
        return characters;
    }

    bool CanWrite(std::uint16_t codePage) override {
        return IsValidCodePage(codePage) && FromUtf16(L"?", codePage).has_value();
    }

    std::optional<std::string> Encode(char32_t character, std::uint16_t codePage) override {
        return Exactly(character, codePage);
    }

    std::optional<std::string> Show(char32_t character) override {
        const UINT console = GetConsoleOutputCP();
        return Exactly(character, console != 0 ? console : GetACP());
    }

private:
    // A program's command line comes in the ANSI code page, typed input in the console's (with no
    // console, the ANSI code page again).
    static UINT OwnCodePage(TextOrigin origin) {
        const UINT console = origin == TextOrigin::StandardInput ? GetConsoleCP() : 0;
        return console != 0 ? console : GetACP();
    }
};

}  // namespace

std::unique_ptr<CodePages> SystemCodePages() { return std::make_unique<WindowsPages>(); }

}  // namespace tavik::send

#endif  // _WIN32
