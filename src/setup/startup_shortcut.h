#pragma once
// The start-up shortcut: a shell link that starts Tavik minimised at logon.

#include <windows.h>

#include <string>

namespace tavik::setup {

// Shows the program minimised without taking the foreground.
inline constexpr int kShortcutShowCommand = SW_SHOWMINNOACTIVE;

// Saves a shell link to programFile at shortcutFile; the working directory is the program's
// folder. Returns the result of the last step tried; callers do not act on it.
HRESULT CreateStartupShortcut(const std::string& programFile, const std::string& shortcutFile, const char* description);

}  // namespace tavik::setup
