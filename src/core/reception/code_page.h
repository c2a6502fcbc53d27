#pragma once
// Code-page seam: Messenger text arrives in the OEM code page and is shown in the ANSI one.

#include <string>
#include <string_view>

namespace tavik {

class CodePageConverter {
public:
    virtual ~CodePageConverter() = default;
    // Same length in, same length out (a byte-for-byte mapping). Not named OemToAnsi:
    // windows.h defines that as a macro.
    virtual std::string ConvertOemToAnsi(std::string_view oem) const = 0;
};

// Leaves bytes unchanged: for platforms whose two code pages are one, and for tests.
class IdentityCodePage final : public CodePageConverter {
public:
    std::string ConvertOemToAnsi(std::string_view oem) const override { return std::string(oem); }
};

}  // namespace tavik
