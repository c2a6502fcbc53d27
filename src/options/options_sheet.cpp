#include "options/options_sheet.h"

namespace tavik::shell {

// The options pages are not built yet; the settings are edited in the registry meanwhile.
void OpenOptionsSheet(HWND) {}

}  // namespace tavik::shell
