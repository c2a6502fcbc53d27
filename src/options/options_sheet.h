#pragma once
// The options property sheet: the messages page and, unless mail notification is disabled, the
// mail page. Each page saves when it is left; OK puts the saved settings into effect.

#include "options/options_context.h"

namespace tavik::options {

// Runs the sheet modal to the main window, or brings the open one forward.
void OpenOptionsSheet(const OptionsContext& context);

}  // namespace tavik::options
