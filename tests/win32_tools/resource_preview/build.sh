#!/usr/bin/env bash
# Builds the resource preview and the resource checks by hand (they are not part of the CMake
# build) into the folder given as $1, default build/resource-preview. Needs TavikRes.dll from a
# win64 build for running, not for building.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$here/../../.."
out="${1:-$root/build/resource-preview}"
mkdir -p "$out"
cxx=x86_64-w64-mingw32-g++-posix
flags=(-std=c++20 -O1 -Wall -Wextra -static -DWINVER=0x0601 -D_WIN32_WINNT=0x0601 -D_WIN32_IE=0x0600
       -DNOMINMAX -I"$root/src/resources" -I"$root/src")

x86_64-w64-mingw32-windres -I"$root/src/resources" -I"$root/src/resources/pictures" \
  "$root/src/resources/program.rc" -O coff -o "$out/program_res.o"

"$cxx" "${flags[@]}" "$here/preview.cpp" "$out/program_res.o" -o "$out/preview.exe" \
  -mwindows -mconsole -lcomctl32

echo "built $out/preview.exe (the resource checks run in tests/win32 with the other Windows tests)"
