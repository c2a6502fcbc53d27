#pragma once
// Whether the program runs on Wine rather than Windows: some of Wine's faults need a way around.

namespace tavik::win {

bool RunningOnWine();

}  // namespace tavik::win
