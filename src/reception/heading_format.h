#pragma once
// The heading formats of the resource module ("Message from %s to %s" and its kin), loaded the
// same way wherever a message gets or changes its heading.

#include <windows.h>

#include <string>

#include "core/store/heading.h"

namespace tavik::reception {

// The format of string id, cut as its 96-character buffer always cut it; empty when missing.
std::string LoadHeadingFormat(HINSTANCE resources, UINT id);
// The three formats the store re-words headings with; a missing one keeps its default.
store::HeadingFormats LoadHeadingFormats(HINSTANCE resources);

}  // namespace tavik::reception
