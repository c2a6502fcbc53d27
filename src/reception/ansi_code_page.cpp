#include "reception/ansi_code_page.h"

#include <windows.h>

#include <algorithm>

namespace tavik::reception {

std::string AnsiCodePage::ConvertOemToAnsi(std::string_view oem) const {
    std::string ansi(oem.size(), '\0');
    // OemToCharBuffA maps byte for byte and takes a DWORD count; convert in slices so any
    // length is covered.
    constexpr std::size_t kSlice = 0x10000000;
    for (std::size_t done = 0; done < oem.size(); done += kSlice) {
        const DWORD count = static_cast<DWORD>(std::min(kSlice, oem.size() - done));
        if (!OemToCharBuffA(oem.data() + done, ansi.data() + done, count)) {
            ansi.replace(done, count, oem.data() + done, count);  // keep the bytes rather than lose them
        }
    }
    return ansi;
}

}  // namespace tavik::reception
