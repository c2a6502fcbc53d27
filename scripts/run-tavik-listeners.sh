#!/usr/bin/env bash
# Sourced by scripts/run-tavik.sh: which of Tavik's listeners should listen (its settings), which
# cannot (a port that is taken or privileged), which do (ss), and a test command for each.

listener_kinds=()   # udp, tcp, session (Messenger over NetBIOS over TCP) or mailslot
listener_ports=()
listener_states=()  # "waiting", "listening" or why it does not listen
# The folder the user started from (the script moves on to the programs' folder).
started_in=$PWD

add_listener() {
  listener_kinds+=("$1")
  listener_ports+=("$2")
  listener_states+=("$3")
}

# A path as the user can type it from here: relative below this folder, with ~ below the home folder.
shown_path() {
  case "$1" in
    "$started_in"/*) printf '%s\n' "${1#"$started_in"/}" ;;
    "$HOME"/*) printf '%s/%s\n' '~' "${1#"$HOME"/}" ;;
    *) printf '%s\n' "$1" ;;
  esac
}

# A DWORD of the output of `reg query` on the settings key ($1), or $3 without it.
setting_number() {
  local value
  value=$(sed -n "s/^ *$2 *REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p" <<<"$1" | head -n 1)
  if [ -n "$value" ]; then echo $((16#$value)); else echo "$3"; fi
}

# The listeners the settings ask for, with the program's own rules for the ports ($1: `reg query`).
listeners_from_settings() {
  local settings=$1 tcp udp netbios
  tcp=$(setting_number "$settings" TCPPort 0)
  [ "$tcp" -ne 0 ] || tcp=7777
  udp=$(setting_number "$settings" UDPPort 0)
  [ "$udp" -ne 0 ] || udp=$tcp
  netbios=$(setting_number "$settings" NetbiosPort 139)
  if [ "$(setting_number "$settings" DisableUDPTread 0)" -eq 0 ]; then
    add_listener udp "$udp" waiting
  else
    add_listener udp "$udp" "switched off (DisableUDPTread)"
  fi
  if [ "$(setting_number "$settings" DisableTCPTread 0)" -eq 0 ]; then
    add_listener tcp "$tcp" waiting
  else
    add_listener tcp "$tcp" "switched off (DisableTCPTread)"
  fi
  if [ "$(setting_number "$settings" DisableSMBTread 0)" -ne 0 ]; then
    add_listener session "$netbios" "switched off (DisableSMBTread)"
    add_listener mailslot "" "switched off (DisableSMBTread)"
    return
  fi
  if [ "$netbios" -eq 0 ] || [ "$netbios" -gt 65535 ]; then
    add_listener session "$netbios" "not served: NetbiosPort is $netbios"
  else
    add_listener session "$netbios" waiting
  fi
  # The mailslot is inside Wine: nothing outside can see it, so it counts as listening.
  add_listener mailslot "" listening
}

port_setting() {
  case "$1" in
    udp) echo UDPPort ;;
    tcp) echo TCPPort ;;
    session) echo NetbiosPort ;;
  esac
}

protocol_of() { if [ "$1" = udp ]; then echo udp; else echo tcp; fi; }

# "tcp PORT" and "udp PORT" of every listening socket; of the processes $2... only, when $1 is "own".
listening_sockets() {
  local which=$1 pattern="" pid
  shift
  for pid in "$@"; do pattern+="${pattern:+|}pid=$pid,"; done
  ss -H -l -n -t -u ${pattern:+-p} 2>/dev/null | while read -r protocol _ _ _ local _ processes; do
    if [ "$which" = own ] && ! grep -Eq "$pattern" <<<"$processes"; then continue; fi
    echo "$protocol ${local##*:}"
  done
}

# Marks the listeners whose port another program holds or this user may not bind.
listeners_that_cannot_bind() {
  local i port taken lowest user
  command -v ss >/dev/null || return 0
  taken=$(listening_sockets all)
  lowest=$(cat /proc/sys/net/ipv4/ip_unprivileged_port_start 2>/dev/null || echo 1024)
  user=$(id -un)
  for i in "${!listener_kinds[@]}"; do
    [ "${listener_states[$i]}" = waiting ] || continue
    port=${listener_ports[$i]}
    if [ "$port" -gt 65535 ]; then
      listener_states[i]="not listening: there is no port $port"
    elif grep -qx "$(protocol_of "${listener_kinds[$i]}") $port" <<<"$taken"; then
      listener_states[i]="not listening: another program holds the port ($(port_setting "${listener_kinds[$i]}") picks another)"
    elif [ "$port" -lt "$lowest" ] && [ "$(id -u)" -ne 0 ]; then
      listener_states[i]="not served: port $port is privileged and Wine runs as $user"
    fi
  done
}

# Waits until every listener that can listen does (sockets of Tavik or of its wineserver), at most
# 20 seconds, or until Tavik ends. The rest are marked as not listening.
wait_for_listeners() {
  local tenths=200 own i waiting
  if ! command -v ss >/dev/null; then
    for i in "${!listener_kinds[@]}"; do
      [ "${listener_states[$i]}" = waiting ] && listener_states[i]="unknown (ss, package iproute2, is missing)"
    done
    return 0
  fi
  while :; do
    own=$(listening_sockets own "$@")
    waiting=""
    for i in "${!listener_kinds[@]}"; do
      [ "${listener_states[$i]}" = waiting ] || continue
      if grep -qx "$(protocol_of "${listener_kinds[$i]}") ${listener_ports[$i]}" <<<"$own"; then
        listener_states[i]=listening
      else
        waiting=1
      fi
    done
    if [ -z "$waiting" ] || [ "$tenths" -le 0 ] || ! wine_env_alive "$1"; then break; fi
    sleep 0.1
    tenths=$((tenths - 1))
  done
  # A port expected to fail (a privileged one, with a capability that allows it) may listen after all.
  for i in "${!listener_kinds[@]}"; do
    [[ ${listener_states[$i]} == not* ]] || [ "${listener_states[$i]}" = waiting ] || continue
    if grep -qx "$(protocol_of "${listener_kinds[$i]}") ${listener_ports[$i]}" <<<"$own"; then
      listener_states[i]=listening
    elif [ "${listener_states[$i]}" = waiting ]; then
      listener_states[i]="not listening (Tavik may say why on its display)"
    fi
  done
  return 0
}

listener_name() {
  case "$1" in
    udp) echo "UDP port $2" ;;
    tcp) echo "TCP port $2" ;;
    session) echo "Messenger sessions, TCP port $2" ;;
    mailslot) echo 'Messenger mailslot' ;;
  esac
}

# A command that sends a test message to a listener ($1 kind, $2 port; $3 the prefix, $4 the folder
# of the Windows programs, $5 the native tavik-send).
test_command() {
  local send name
  send=$(shown_path "$5")
  # The Messenger names Tavik answers to include the user's, cut to a NetBIOS name.
  name=$(id -un)
  name=${name:0:15}
  case "$1" in
    udp) echo "$send --udp 127.0.0.1$([ "$2" -eq 7777 ] || echo ":$2") \"hello\"" ;;
    tcp) echo "$send --tcp 127.0.0.1$([ "$2" -eq 7777 ] || echo ":$2") \"hello\"" ;;
    session) echo "$send --messenger 127.0.0.1$([ "$2" -eq 139 ] || echo ":$2") --to $name \"hello\"" ;;
    mailslot)
      echo "WINEPREFIX=$(shown_path "$3") $WINE64 $(shown_path "$4/tavik-send.exe") --mailslot --from PC7 --to $name \"hello\""
      ;;
  esac
}

# What listens, each with its test command, then what does not and why (arguments: those of
# test_command after the port).
report_listeners() {
  local i state silent=""
  echo "Listening, each with a command that sends a test message:"
  for i in "${!listener_kinds[@]}"; do
    [ "${listener_states[$i]}" = listening ] || continue
    printf '  %-36s %s\n' "$(listener_name "${listener_kinds[$i]}" "${listener_ports[$i]}"):" \
      "$(test_command "${listener_kinds[$i]}" "${listener_ports[$i]}" "$@")"
  done
  for i in "${!listener_kinds[@]}"; do
    state=${listener_states[$i]}
    [ "$state" = listening ] && continue
    [ -z "$silent" ] && echo "Not listening:"
    silent=1
    printf '  %-36s %s\n' "$(listener_name "${listener_kinds[$i]}" "${listener_ports[$i]}"):" "$state"
    if [[ $state == *privileged* ]]; then
      echo "    allow it: sudo sysctl net.ipv4.ip_unprivileged_port_start=${listener_ports[$i]} (README.md, Troubleshooting)"
    fi
  done
}
