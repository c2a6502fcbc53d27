#pragma once
// Reads the whole settings key once into a record and builds the per-user data folder.

#include "core/settings/settings.h"
#include "core/settings/settings_source.h"

namespace tavik {

// Absent or unreadable values take their defaults; TCPPort 0 becomes 7777 and UDPPort falls back to
// the settled TCPPort. Also fills DataDirectory and creates the data folders (see data_directory.h).
Settings LoadSettings(SettingsSource& source, UserFolders& folders);

}  // namespace tavik
