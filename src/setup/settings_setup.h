#pragma once
// Fills in the administrative settings, carries over the values of earlier versions and marks the
// installation's uninstall entry.

namespace tavik::setup {

void WriteSetupSettings();

}  // namespace tavik::setup
