#!/usr/bin/env bash
# Installs every package the build, the programs and the tests need on Debian 12.
# Idempotent: packages already present are left alone; apt runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake make git pkg-config
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine64 xvfb xdotool x11-utils imagemagick fonts-dejavu-core
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  python3 python3-pytest
  procps psmisc iproute2
  smbclient
  dovecot-imapd dovecot-pop3d
  nsis sox
)
# The benchmarks also measure Samba's smbd beside Tavik: `install-deps.sh --bench`.
if [ "${1:-}" = "--bench" ]; then
  packages+=(samba)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
  # A service the packages may have started would hold ports the tests use (smbd: 139); the tests
  # and benchmarks start their own private servers.
  for service in smbd nmbd dovecot; do
    $sudo_cmd service "$service" stop >/dev/null 2>&1 || true
  done
fi
