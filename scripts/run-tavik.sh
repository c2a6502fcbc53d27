#!/usr/bin/env bash
# `make run`: starts Tavik.exe under Wine in a prefix kept between runs, and stops it cleanly on Ctrl+C.
#   TAVIK_PREFIX   the prefix (default: ~/.local/share/tavik/wineprefix, made on first use)
#   TAVIK_BIN_DIR  the programs (default: build/win64/bin)
#   DISPLAY        used as it is; without one a private Xvfb stands in (the program then runs unseen)
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"

prefix="${TAVIK_PREFIX:-$HOME/.local/share/tavik/wineprefix}"
bin="${TAVIK_BIN_DIR:-$repo/build/win64/bin}"
state="$(mktemp -d "${TMPDIR:-/tmp}/tavik-run.XXXXXX")"
tavik_pid=""
display=""
stopping=""

if [ ! -f "$bin/Tavik.exe" ] || [ ! -f "$bin/TavikRes.dll" ]; then
  echo "run-tavik: $bin has no Tavik.exe and TavikRes.dll; build the win64 preset first (make build-win64)" >&2
  exit 1
fi

wine_in_prefix() {
  WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINESERVER="$WINESERVER64" DISPLAY="$display" "$WINE64" "$@"
}

# Ends the program the way a logoff does, then the server and the display; each by its PID.
stop_everything() {
  [ -n "$stopping" ] && return
  stopping=1
  # Nothing may cut the clean-up short: not a second Ctrl+C, nor a terminal that has gone away.
  trap '' INT TERM PIPE HUP
  set +e
  if wine_env_alive "$tavik_pid"; then
    echo
    echo "Ending Tavik (logoff)..."
    # A logoff reaches only windows that exist: one that comes too early in start-up is repeated.
    for _ in 1 2 3; do
      wine_in_prefix wineboot -e </dev/null >/dev/null 2>&1 || true
      wine_env_wait_end "$tavik_pid" 100 && break
    done
    if wine_env_alive "$tavik_pid"; then
      echo "Tavik did not end; killing it"
      kill -KILL "$tavik_pid" 2>/dev/null || true
    fi
  fi
  if [ -n "$tavik_pid" ]; then wait "$tavik_pid" 2>/dev/null || true; fi
  wine_env_stop_server "$prefix" "$state/wineserver.pid"
  wine_env_kill_pidfile "$state/xvfb.pid" Xvfb
  rm -rf "$state"
}
trap stop_everything EXIT
trap 'exit 130' INT TERM HUP

if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $prefix (a minute at most, once)..."
  wine_env_make_prefix "$prefix"
fi

display="${DISPLAY:-}"
if [ -z "$display" ]; then
  display="$(wine_env_start_xvfb "$state/xvfb.pid")"
  echo "No DISPLAY: Tavik runs on a private Xvfb ($display); look at it with: DISPLAY=$display xwd -root | display"
fi

wine_env_start_server "$prefix" "$state/wineserver.pid"
# The session's helpers keep the first program's streams open: start them with none.
wine_in_prefix wineboot </dev/null >/dev/null 2>&1 || true

appdata="$(wine_in_prefix reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v AppData \
  </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *AppData *REG_SZ *//p' | sed 's/ *$//' || true)"
if [ -n "$appdata" ]; then
  data_dir="$(wine_in_prefix winepath -u "$appdata\\Quorlex\\Quorlex Tavik" </dev/null 2>/dev/null | tr -d '\r' || true)"
  data_dir="$(realpath -m "$data_dir")"
else
  data_dir="(no AppData folder: the program's working folder, $bin)"
fi
udp_port="$(wine_in_prefix reg query 'HKCU\Software\Quorlex\Tavik\Settings' /v UDPPort </dev/null 2>/dev/null \
  | tr -d '\r' | sed -n 's/^ *UDPPort *REG_DWORD *//p' || true)"
udp_port=$((${udp_port:-0})) || udp_port=0

cd "$bin"
# Its own session: Ctrl+C reaches this script, which then ends Tavik cleanly.
WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER="$WINESERVER64" \
  DISPLAY="$display" setsid "$WINE64" "$bin/Tavik.exe" </dev/null &
tavik_pid=$!

echo "Tavik is running (Linux PID $tavik_pid) in the Wine prefix $prefix"
echo "Messages are kept in: $data_dir"
target=127.0.0.1
[ "$udp_port" -gt 0 ] && [ "$udp_port" -ne 7777 ] && target="127.0.0.1:$udp_port"
echo "Send it a message:    $repo/build/native/bin/tavik-send --udp $target \"hello\""
echo "Press Ctrl+C to end it."

set +e
wait "$tavik_pid"
code=$?
set -e
if [ -z "$stopping" ] && ! wine_env_alive "$tavik_pid"; then
  echo "Tavik ended with exit code $code"
fi
