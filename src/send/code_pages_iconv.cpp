// tavik-send's conversions on Linux and other systems with iconv; Windows has its own.
#ifndef _WIN32

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <map>

#include "send/code_pages.h"

namespace tavik::send {

namespace {

// The codeset glibc reports for the C and POSIX locales.
constexpr std::string_view kAsciiCodeset = "ANSI_X3.4-1968";
constexpr const char* kCharacters = "UTF-32LE";

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() {
        if (Usable()) iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // All of input converted, or nothing when some of it is not valid or has no equivalent.
    std::optional<std::string> Convert(std::string_view input) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
        std::string output(input.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        // The last round, with no input, ends a stateful encoding's shift sequence.
        for (bool finished = false; !finished;) {
            const bool flushing = inLeft == 0;
            if (iconv(handle_, flushing ? nullptr : &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) {
                finished = flushing;
                continue;
            }
            if (errno != E2BIG) return std::nullopt;
            const std::size_t used = output.size() - outLeft;
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = output.size() - used;
        }
        output.resize(output.size() - outLeft);
        return output;
    }

private:
    iconv_t handle_;
};

std::string CharacterBytes(char32_t character) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((character >> (8 * i)) & 0xFF);
    return bytes;
}

class IconvPages final : public CodePages {
public:
    explicit IconvPages(const std::string& ownEncoding)
        : own_(ownEncoding.empty() || ownEncoding == kAsciiCodeset ? "UTF-8" : ownEncoding),
          decoder_(kCharacters, own_),
          shower_(own_, kCharacters) {}

    std::string OwnEncodingName(TextOrigin) override { return own_; }

    std::optional<std::u32string> Decode(std::string_view text, TextOrigin) override {
        if (!decoder_.Usable()) return std::nullopt;
        std::optional<std::string> bytes = decoder_.Convert(text);
        if (!bytes) return std::nullopt;
        std::u32string characters(bytes->size() / 4, U'\0');
        for (std::size_t i = 0; i < characters.size(); ++i) {
            char32_t c = 0;
            for (int b = 3; b >= 0; --b) c = (c << 8) | static_cast<unsigned char>((*bytes)[4 * i + b]);
            characters[i] = c;
        }
        return characters;
    }

    bool CanWrite(std::uint16_t codePage) override { return EncoderFor(codePage) != nullptr; }

    std::optional<std::string> Encode(char32_t character, std::uint16_t codePage) override {
        Iconv* encoder = EncoderFor(codePage);
        if (encoder == nullptr) return std::nullopt;
        return encoder->Convert(CharacterBytes(character));
    }

    std::optional<std::string> Show(char32_t character) override {
        if (!shower_.Usable()) return std::nullopt;
        return shower_.Convert(CharacterBytes(character));
    }

private:
    // glibc knows the Windows code pages as "CPnnnn" (some only as "WINDOWS-nnnn" or "IBMnnn").
    Iconv* EncoderFor(std::uint16_t codePage) {
        auto found = encoders_.find(codePage);
        if (found != encoders_.end()) return found->second.get();
        const std::string number = std::to_string(codePage);
        std::unique_ptr<Iconv> encoder;
        for (const std::string& name :
             {codePage == 65001 ? std::string("UTF-8") : "CP" + number, "WINDOWS-" + number, "IBM" + number}) {
            encoder = std::make_unique<Iconv>(name, kCharacters);
            if (encoder->Usable()) break;
            encoder.reset();
        }
        return encoders_.emplace(codePage, std::move(encoder)).first->second.get();
    }

    std::string own_;
    Iconv decoder_;
    Iconv shower_;
    std::map<std::uint16_t, std::unique_ptr<Iconv>> encoders_;
};

// The codeset of the locale the environment names, without changing this process's locale. A
// locale that is not installed tells nothing: it counts as the C locale.
std::string LocaleCodeset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return std::string(kAsciiCodeset);
    std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return codeset;
}

}  // namespace

std::unique_ptr<CodePages> IconvCodePages(const std::string& ownEncoding) {
    return std::make_unique<IconvPages>(ownEncoding);
}

std::unique_ptr<CodePages> SystemCodePages() { return IconvCodePages(LocaleCodeset()); }

}  // namespace tavik::send

#endif  // _WIN32
