#pragma once
// Creates the per-user data folder "<AppData>\Quorlex\Quorlex Tavik", moving the folder of an
// earlier version ("QuorlexTavik") to that name when the new one does not exist yet.

namespace tavik::setup {

void MakeDataDirectory();

}  // namespace tavik::setup
