#!/usr/bin/env bash
# Wine prefixes, wineservers and private X displays for the tests and for `make run`.
#
#   wine-env.sh template DIR              make a fresh prefix in DIR (wineboot -i)
#   wine-env.sh start PREFIX TEMPLATE     copy TEMPLATE to PREFIX and start a session for it: a private
#                                         Xvfb and a persistent wineserver (PIDs kept in PREFIX.session/)
#   wine-env.sh exec PREFIX PROGRAM ARGS  run a Windows program in that session
#   wine-env.sh stop PREFIX               stop that session's wineserver and Xvfb, by their PIDs
#   wine-env.sh setup WINEDIR             CTest fixture: WINEDIR/template, then a session on WINEDIR/unit-prefix
#   wine-env.sh cleanup WINEDIR           CTest fixture: stop the WINEDIR/unit-prefix session
#
# Sourced, it only defines the functions (scripts/run-tavik.sh uses them).

WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64
XVFB=/usr/bin/Xvfb

wine_env_log() { echo "wine-env: $*" >&2; }

# True while the process runs (a zombie waiting to be reaped counts as ended).
wine_env_alive() {
  local pid=$1 state
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
  state=$(sed -e 's/^.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1)
  [ -n "$state" ] && [ "$state" != Z ]
}

# Waits up to $2 tenths of a second for a process to end.
wine_env_wait_end() {
  local pid=$1 tenths=$2
  while wine_env_alive "$pid" && [ "$tenths" -gt 0 ]; do
    sleep 0.1
    tenths=$((tenths - 1))
  done
  ! wine_env_alive "$pid"
}

# Kills the process in a PID file, if it is still the program named there (a PID may be reused).
wine_env_kill_pidfile() {
  local file=$1 expected=$2 pid
  [ -f "$file" ] || return 0
  pid=$(cat "$file")
  rm -f "$file"
  wine_env_alive "$pid" || return 0
  tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "$expected" || return 0
  kill -TERM "$pid" 2>/dev/null || true
  wine_env_wait_end "$pid" 100 || kill -KILL "$pid" 2>/dev/null || true
  wine_env_wait_end "$pid" 50 || wine_env_log "process $pid ($expected) did not end"
}

# The folder of a prefix's wineserver socket: named after the prefix's device and inode numbers,
# under the folder the prefix's "wineserver" file names (Debian) or /tmp/.wine-<uid>.
wine_env_server_dir() {
  local prefix=$1 base dev ino
  if [ -f "$prefix/wineserver" ]; then
    base=/tmp/$(cat "$prefix/wineserver")
  else
    base=/tmp/.wine-$(id -u)
  fi
  read -r dev ino < <(stat -c '%D %i' "$prefix")
  printf '%s/server-%s-%x\n' "$base" "$dev" "$ino"
}

# Starts a wineserver for a prefix in the background; its PID goes to $2. Returns once it listens.
# Persistent by default; $3 ("-p2") lets it end two seconds after its last client.
wine_env_start_server() {
  local prefix=$1 pidfile=$2 persistence=${3:--p} pid socket tenths=600
  WINEPREFIX=$prefix setsid "$WINESERVER64" -f "$persistence" </dev/null >/dev/null 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  # The folder's name may depend on a file the server writes into an empty prefix: look again each time.
  until socket=$(wine_env_server_dir "$prefix")/socket && [ -S "$socket" ]; do
    if ! wine_env_alive "$pid"; then
      wine_env_log "wineserver for $prefix ended at start"
      return 1
    fi
    if [ "$tenths" -le 0 ]; then
      wine_env_log "wineserver for $prefix did not start"
      wine_env_kill_pidfile "$pidfile" wineserver
      return 1
    fi
    sleep 0.1
    tenths=$((tenths - 1))
  done
}

# Stops a prefix's wineserver (and with it every Wine process of the prefix), then its PID if need be.
wine_env_stop_server() {
  local prefix=$1 pidfile=$2 pid=""
  [ -f "$pidfile" ] && pid=$(cat "$pidfile")
  if wine_env_alive "$pid"; then
    WINEPREFIX=$prefix timeout 30 "$WINESERVER64" -k </dev/null >/dev/null 2>&1 || true
    wine_env_wait_end "$pid" 150 || true
  fi
  wine_env_kill_pidfile "$pidfile" wineserver
}

# Starts a private Xvfb; its PID goes to $1, its display (":N") is printed. Xvfb picks a free
# display number itself (-displayfd), so sessions that start together do not collide.
wine_env_start_xvfb() {
  local pidfile=$1 numberfile pid tenths=600
  numberfile=$(mktemp)
  setsid "$XVFB" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$numberfile" </dev/null >/dev/null 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  while ! grep -q '^[0-9][0-9]*$' "$numberfile" 2>/dev/null; do
    if ! wine_env_alive "$pid" || [ "$tenths" -le 0 ]; then
      wine_env_log "Xvfb did not start"
      rm -f "$numberfile"
      return 1
    fi
    sleep 0.1
    tenths=$((tenths - 1))
  done
  echo ":$(cat "$numberfile")"
  rm -f "$numberfile"
}

# Makes a fresh prefix in $1. Built beside it and moved into place, so nobody copies a half-made one.
wine_env_make_prefix() {
  local target=$1 building pidfile
  building="$target.new.$$"
  pidfile="$building.wineserver.pid"
  rm -rf "$building"
  mkdir -p "$building"
  # A server that ends by itself two seconds after wineboot: the registry reaches the disk when it ends.
  wine_env_start_server "$building" "$pidfile" -p2 || return 1
  # wineboot starts Wine's helpers, which keep the standard streams open: give them none.
  if ! WINEPREFIX=$building WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER=$WINESERVER64 DISPLAY='' \
      timeout 600 "$WINE64" wineboot -i </dev/null >/dev/null 2>&1; then
    wine_env_log "wineboot -i failed in $building"
    wine_env_stop_server "$building" "$pidfile"
    return 1
  fi
  WINEPREFIX=$building timeout 120 "$WINESERVER64" -w </dev/null >/dev/null 2>&1 || true
  wine_env_wait_end "$(cat "$pidfile")" 300 || wine_env_log "wineserver of $building did not end by itself"
  wine_env_stop_server "$building" "$pidfile"
  if [ ! -f "$building/user.reg" ] || [ ! -f "$building/system.reg" ]; then
    wine_env_log "wineboot left no registry in $building"
    return 1
  fi
  rm -rf "$target"
  mv "$building" "$target"
}

# Runs a Windows program of the session of $1 with its standard streams on /dev/null and waits.
wine_env_quiet() {
  local prefix=$1
  shift
  WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER=$WINESERVER64 \
    DISPLAY=$(cat "$prefix.session/display") timeout 180 "$WINE64" "$@" </dev/null >/dev/null 2>&1
}

wine_env_start_session() {
  local prefix=$1 template=$2 state="$1.session"
  wine_env_stop_session "$prefix"
  rm -rf "$prefix"
  mkdir -p "$state"
  cp -a --reflink=auto "$template" "$prefix"
  wine_env_start_xvfb "$state/xvfb.pid" >"$state/display" || return 1
  wine_env_start_server "$prefix" "$state/wineserver.pid" || return 1
  # The first process starts the session's helpers; with no streams they hold no test's output open.
  wine_env_quiet "$prefix" wineboot
}

wine_env_stop_session() {
  local prefix=$1 state="$1.session"
  [ -d "$state" ] || return 0
  wine_env_stop_server "$prefix" "$state/wineserver.pid"
  wine_env_kill_pidfile "$state/xvfb.pid" Xvfb
  rm -rf "$state"
}

wine_env_exec() {
  local prefix=$1
  shift
  [ -f "$prefix.session/display" ] || { wine_env_log "no session for $prefix (run the wine.setup test)"; return 1; }
  WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER=$WINESERVER64 \
    DISPLAY=$(cat "$prefix.session/display") exec "$WINE64" "$@"
}

# Kills what test sessions under $1/sessions left running (a test killed at its time-out cleans up
# nothing) and removes them. Each Wine process carries its prefix in its environment.
wine_env_clear_sessions() {
  local sessions="$1/sessions" environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -q -F "WINEPREFIX=$sessions/"; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
  done
  # A killed process may still be writing its last files: try again before giving up.
  local attempt
  for attempt in 1 2 3; do
    rm -rf "$sessions" 2>/dev/null && return 0
    sleep 1
  done
  rm -rf "$sessions"
}

wine_env_main() {
  set -euo pipefail
  local command=${1:-}
  shift || true
  case "$command" in
    template) wine_env_make_prefix "$1" ;;
    start) wine_env_start_session "$1" "$2" ;;
    exec) wine_env_exec "$@" ;;
    stop) wine_env_stop_session "$1" ;;
    setup)
      # Sessions left by an interrupted run go first; their programs belong to no one now.
      wine_env_clear_sessions "$1"
      wine_env_make_prefix "$1/template"
      wine_env_start_session "$1/unit-prefix" "$1/template"
      ;;
    cleanup)
      wine_env_stop_session "$1/unit-prefix"
      wine_env_clear_sessions "$1"
      ;;
    *)
      sed -n '2,12p' "$0" >&2
      return 2
      ;;
  esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  wine_env_main "$@"
fi
