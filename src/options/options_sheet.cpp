#include "options/options_sheet.h"

namespace tavik::options {

// The options pages are not built yet; the settings are edited in the registry meanwhile.
void OpenOptionsSheet(HWND) {}

}  // namespace tavik::options
