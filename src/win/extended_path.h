#pragma once
// Paths of any length for the file calls: the program's paths are ANSI text and may pass the
// classic 260-character limit (a deep AppData folder), which only the "\\?\" form of the wide
// calls accepts.

#include <string>

namespace tavik::win {

// The full "\\?\" (or "\\?\UNC\") form of an ANSI path, relative parts and doubled separators
// resolved; empty when the path cannot be converted.
std::wstring ExtendedPath(const std::string& ansiPath);

// A wide file name as ANSI text.
std::string AnsiName(const wchar_t* wideName);

}  // namespace tavik::win
