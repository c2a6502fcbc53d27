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

# GoogleTest for Windows, compiled once from the sources Debian ships.
gtest=/usr/src/googletest/googletest
if [ ! -f "$out/gtest_all.o" ]; then
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest-all.cc" -o "$out/gtest_all.o"
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest_main.cc" -o "$out/gtest_main.o"
fi
"$cxx" "${flags[@]}" -I"$gtest/include" "$here/resource_contents_test.cpp" \
  "$root/src/core/text/format.cpp" "$out/program_res.o" "$out/gtest_all.o" "$out/gtest_main.o" \
  -o "$out/resource_contents_test.exe" -lcomctl32
echo "built $out/preview.exe and $out/resource_contents_test.exe"
