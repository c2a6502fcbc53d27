#!/usr/bin/env bash
# `make run`'s build: installs what is missing and builds the given presets with their output in a
# log. Says one line when there is work to do and shows the output only when the build fails.
#   build-quietly.sh LOG JOBS PRESET...
set -uo pipefail

log=$1
jobs=$2
shift 2
presets=("$@")
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo" || exit 1

# Ctrl+C ends the build and then this script by the same signal, so make reports the interrupt alone.
trap 'trap - INT; kill -INT $$' INT

mkdir -p "$(dirname "$log")"
: >"$log"

# Lines every build prints, work or none.
is_routine() {
  [[ -z $1 || $1 =~ ^\[\ *[0-9]+%\]\ Built\ target\  || $1 =~ ^g?make(\[[0-9]+\])?:\ (Entering|Leaving)\ directory ]]
}

# "win64, win32 and native"
joined_presets() {
  local count=${#presets[@]} text
  if [ "$count" -le 1 ]; then echo "${presets[*]}"; return; fi
  text=$(printf '%s, ' "${presets[@]:0:count-1}")
  echo "${text%, } and ${presets[count - 1]}"
}

# Copies the build's output into the log; announces the build at its first line of real work.
announce_work() {
  local line announced=""
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    if [ -z "$announced" ] && ! is_routine "$line"; then
      echo "Building $(joined_presets) (output: ${log#"$PWD"/})..."
      announced=1
    fi
  done
}

# The package installer says what it installs; apt's lines go to the log.
install_quietly() {
  local line
  bash "$repo/scripts/install-deps.sh" 2>&1 | while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    case "$line" in Installing:*) echo "$line" ;; esac
  done
  return "${PIPESTATUS[0]}"
}

if ! install_quietly; then
  echo "Installing the packages failed; its output (also in ${log#"$PWD"/}):" >&2
  cat "$log" >&2
  exit 1
fi

{
  for preset in "${presets[@]}"; do
    # A preset that was never configured is work; configuring one again is routine.
    [ -f "build/$preset/CMakeCache.txt" ] || echo "configuring $preset"
    configured=$(cmake --preset "$preset" 2>&1) || { printf '%s\ncmake --preset %s failed\n' "$configured" "$preset"; exit 1; }
    cmake --build "build/$preset" -j "$jobs" 2>&1 || exit 1
  done
} | announce_work
status=${PIPESTATUS[0]}

if [ "$status" -ne 0 ]; then
  echo "The build failed; its output (also in ${log#"$PWD"/}):" >&2
  while IFS= read -r line; do
    is_routine "$line" || printf '%s\n' "$line"
  done <"$log" >&2
  exit "$status"
fi
