#pragma once
// The options property sheet (messages and mail pages).

#include <windows.h>

namespace tavik::options {

void OpenOptionsSheet(HWND owner);

}  // namespace tavik::options
