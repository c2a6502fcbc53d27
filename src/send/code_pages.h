#pragma once
// The system's character conversions, behind which tavik-send's text handling is portable:
// iconv and the locale on Linux, the Win32 code-page functions on Windows.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::send {

// Where a text came from: on Windows the command line is in the ANSI code page and standard
// input in the console's.
enum class TextOrigin { CommandLine, StandardInput };

class CodePages {
public:
    virtual ~CodePages() = default;

    // The encoding texts from origin are in, as messages name it ("UTF-8", "code page 850").
    virtual std::string OwnEncodingName(TextOrigin origin) = 0;

    // The characters of text in that encoding; nothing when text is not valid in it.
    virtual std::optional<std::u32string> Decode(std::string_view text, TextOrigin origin) = 0;

    // Whether this system can write text in codePage.
    virtual bool CanWrite(std::uint16_t codePage) = 0;

    // character in codePage; nothing when the code page has no such character.
    virtual std::optional<std::string> Encode(char32_t character, std::uint16_t codePage) = 0;

    // character as standard error shows it; nothing when it cannot.
    virtual std::optional<std::string> Show(char32_t character) = 0;
};

// This system's conversions, with the encoding of its locale (Linux) or its code pages (Windows).
std::unique_ptr<CodePages> SystemCodePages();

#ifndef _WIN32
// iconv with ownEncoding (a codeset name as nl_langinfo gives it) as the sender's encoding. The
// plain-ASCII codeset of the C and POSIX locales counts as UTF-8: what is not valid UTF-8 then
// goes unconverted, as any text does that is not valid in the sender's encoding.
std::unique_ptr<CodePages> IconvCodePages(const std::string& ownEncoding);
#endif

}  // namespace tavik::send
