#pragma once
// The system's OEM-to-ANSI conversion for Messenger text.

#include "core/reception/code_page.h"

namespace tavik::reception {

class AnsiCodePage final : public CodePageConverter {
public:
    std::string ConvertOemToAnsi(std::string_view oem) const override;
};

}  // namespace tavik::reception
