#include "win/running_on_wine.h"

#include <windows.h>

namespace tavik::win {

bool RunningOnWine() {
    // Wine's ntdll exports its version; Windows' has no such export.
    static const bool onWine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return onWine;
}

}  // namespace tavik::win
