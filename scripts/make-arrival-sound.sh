#!/usr/bin/env bash
# Makes receive.wav, the sound Tavik plays when a message arrives, with SoX. Run by the build.
#
#   make-arrival-sound.sh OUTPUT.wav
#
# A soft two-note chime (A5, then E6 a fifth above), each note a sine that starts without a click
# and dies away, about 0.7 s in all. Plain 16-bit PCM, mono, 22050 Hz: the form every Windows
# version plays. No dither and fixed random numbers, so every build makes the same bytes.
set -euo pipefail

if [ $# -ne 1 ]; then
  sed -n '4p' "$0" >&2
  exit 2
fi
out=$1
sox=${SOX:-/usr/bin/sox}
if [ ! -x "$sox" ]; then
  echo "make-arrival-sound: $sox is missing; install the Debian package sox" >&2
  exit 1
fi

rate=22050
# One note as a SoX input: frequency (Hz), length, fade-out and delay (seconds); it fades in over 5 ms.
note() {
  local frequency=$1 length=$2 fade_out=$3 delay=$4
  printf '|%s -R -n -r %s -c 1 -p synth %s sine %s fade l 0.005 %s %s pad %s 0' \
    "$sox" "$rate" "$length" "$frequency" "$length" "$fade_out" "$delay"
}

tmp="$out.tmp.wav"
trap 'rm -f "$tmp"' EXIT
"$sox" -R -D -m -v 0.8 "$(note 880 0.40 0.39 0)" -v 0.7 "$(note 1318.51 0.55 0.54 0.13)" -r "$rate" -c 1 -b 16 "$tmp"
mv "$tmp" "$out"
