#pragma once
// The per-user data folder that holds "messages" and "trash".

#include <string>
#include <string_view>

#include "core/settings/settings_source.h"

namespace tavik {

inline constexpr std::string_view kFallbackDataDirectory = ".\\";

// AppData (trailing blanks removed) + "\Quorlex\" + "Quorlex Tavik\", creating both folders and then
// "messages" and "trash" inside; ".\" with its "messages" and "trash" when AppData cannot be read.
std::string BuildDataDirectory(UserFolders& folders);

}  // namespace tavik
