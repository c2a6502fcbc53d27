#!/usr/bin/env bash
# `make run`: starts Tavik.exe under Wine in a prefix kept between runs, says where its messages are
# kept and how to reach each of its listeners, and ends it as a logoff does on Ctrl+C.
#   run-tavik.sh [--build JOBS]   first builds the win64 and native presets (scripts/build-quietly.sh)
#   TAVIK_PREFIX   the prefix (default: ~/.local/share/tavik/wineprefix, made on first use)
#   TAVIK_BIN_DIR  the programs (default: build/win64/bin)
#   DISPLAY        used as it is; without one a private Xvfb stands in (the program then runs unseen)
# Wine's own output goes to wine.log beside the prefix.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
# shellcheck source=scripts/run-tavik-listeners.sh
source "$repo/scripts/run-tavik-listeners.sh"

prefix="${TAVIK_PREFIX:-$HOME/.local/share/tavik/wineprefix}"
bin="${TAVIK_BIN_DIR:-$repo/build/win64/bin}"
wine_log="$(dirname "$prefix")/wine.log"
state="$(mktemp -d "${TMPDIR:-/tmp}/tavik-run.XXXXXX")"
tavik_pid=""
display=""
stopping=""

wine_in_prefix() {
  WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINESERVER="$WINESERVER64" DISPLAY="$display" "$WINE64" "$@"
}

# Ends the program the way a logoff does, then every process of the prefix through its server, then
# the display; each by its PID.
stop_everything() {
  [ -n "$stopping" ] && return
  stopping=1
  # Nothing may cut the clean-up short: not a second Ctrl+C, nor a terminal that has gone away.
  trap '' INT TERM PIPE HUP
  set +e
  if wine_env_alive "$tavik_pid"; then
    printf '\nEnding Tavik as at a logoff... '
    # A logoff reaches only windows that exist: one that comes too early in start-up is repeated.
    for _ in 1 2 3; do
      wine_in_prefix wineboot -e </dev/null >>"$wine_log" 2>&1
      wine_env_wait_end "$tavik_pid" 100 && break
    done
    if wine_env_alive "$tavik_pid"; then
      echo "it did not end; killed it."
      kill -KILL "$tavik_pid" 2>/dev/null
    else
      echo "done."
    fi
  fi
  if [ -n "$tavik_pid" ]; then wait "$tavik_pid" 2>/dev/null; fi
  # A prefix still being made (wine_env_make_prefix builds it beside the target) is of no use.
  if [ -d "$prefix.new.$$" ]; then
    wine_env_stop_server "$prefix.new.$$" "$prefix.new.$$.wineserver.pid" 2>>"$wine_log"
    rm -rf "$prefix.new.$$" "$prefix.new.$$.wineserver.pid"
  fi
  wine_env_stop_server "$prefix" "$state/wineserver.pid" 2>>"$wine_log"
  wine_env_kill_pidfile "$state/xvfb.pid" Xvfb 2>>"$wine_log"
  rm -rf "$state"
}

# After the clean-up the script ends by the signal itself, so whoever started it sees the interrupt.
# Under make, make had the same Ctrl+C and ends by it when this recipe ends: an end by the signal
# here would only add make's "*** [run] Interrupt" line.
end_by_signal() {
  stop_everything
  if [ "$1" = INT ] && [ -n "${MAKELEVEL:-}" ]; then exit 0; fi
  trap - "$1"
  kill -s "$1" $$
}
trap stop_everything EXIT
for signal in INT TERM HUP; do
  # shellcheck disable=SC2064  # the signal's name is meant to be fixed now
  trap "end_by_signal $signal" "$signal"
done

if [ "${1:-}" = --build ]; then
  bash "$repo/scripts/build-quietly.sh" "$repo/build/make-run.log" "${2:?--build needs the number of jobs}" win64 native
fi
if [ ! -f "$bin/Tavik.exe" ] || [ ! -f "$bin/TavikRes.dll" ]; then
  echo "run-tavik: $bin has no Tavik.exe and TavikRes.dll; build the win64 preset first (make build-win64)" >&2
  exit 1
fi

mkdir -p "$(dirname "$wine_log")"
: >"$wine_log"

if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $(shown_path "$prefix") (a minute at most, once)..."
  wine_env_make_prefix "$prefix" 2>>"$wine_log" || {
    echo "run-tavik: the Wine prefix could not be made; see $wine_log" >&2
    exit 1
  }
fi

display="${DISPLAY:-}"
if [ -z "$display" ]; then
  display="$(wine_env_start_xvfb "$state/xvfb.pid")"
  echo "No DISPLAY: Tavik runs unseen on a private Xvfb $display (see it: DISPLAY=$display xwd -root | display)"
fi

wine_env_start_server "$prefix" "$state/wineserver.pid"
# The session's helpers keep the first program's streams open: a file, never a pipe.
wine_in_prefix wineboot </dev/null >>"$wine_log" 2>&1 || true

appdata="$(wine_in_prefix reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v AppData \
  </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *AppData *REG_SZ *//p' | sed 's/ *$//' || true)"
if [ -n "$appdata" ]; then
  data_dir="$(wine_in_prefix winepath -u "$appdata\\Quorlex\\Quorlex Tavik" </dev/null 2>/dev/null | tr -d '\r' || true)"
  data_dir="$(realpath -m "$data_dir")"
else
  data_dir="(no AppData folder: the program's working folder, $bin)"
fi

listeners_from_settings "$(wine_in_prefix reg query 'HKCU\Software\Quorlex\Tavik\Settings' </dev/null 2>/dev/null | tr -d '\r' || true)"
listeners_that_cannot_bind

cd "$bin"
# Its own session: Ctrl+C reaches this script, which then ends Tavik cleanly.
WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER="$WINESERVER64" \
  DISPLAY="$display" setsid "$WINE64" "$bin/Tavik.exe" </dev/null >>"$wine_log" 2>&1 &
tavik_pid=$!

wait_for_listeners "$tavik_pid" "$(cat "$state/wineserver.pid")"
echo "Tavik is running in the Wine prefix $(shown_path "$prefix"); Wine's output goes to $(shown_path "$wine_log")"
echo "Messages are kept in: $(shown_path "$data_dir")"
report_listeners "$prefix" "$bin" "$repo/build/native/bin/tavik-send"
echo "Press Ctrl+C to end Tavik."

set +e
wait "$tavik_pid"
code=$?
set -e
if [ -z "$stopping" ] && ! wine_env_alive "$tavik_pid"; then
  echo "Tavik ended by itself (exit code $code)."
fi
