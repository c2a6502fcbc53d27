#!/usr/bin/env bash
# Regenerates every picture in src/resources/pictures/ with ImageMagick.
# The outputs are committed: the build itself never needs ImageMagick. Run it (`make pictures`)
# after changing a drawing below, look at the results, and commit them together with this script.
#
# Icons hold 16x16 and 32x32 images with a 256-colour palette and a 1-bit mask (the form every
# Windows version reads), and 16x16, 24x24 and 32x32 with 32-bit colour and alpha (picked by
# true-colour displays for smoother edges; 24x24 is the tray's size at 150 % scaling, where a
# scaled 32x32 picture would blur). The 32x32 drawings are laid out on a 2-pixel grid so that a
# shell which scales them down to 16x16 still gets clean shapes.
#
# The toolbar strips are 8-bit palette bitmaps on light grey 0xC0C0C0: the program hands one to the
# toolbar as a resource, which maps that grey to the button face colour and treats it as
# transparent, so no image may use that exact grey. There is one strip per display scaling the
# program picks from (100 %, 150 % and 200 %), each drawn from the same shapes at its own size.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$here/../src/resources/pictures"
convert="${CONVERT:-/usr/bin/convert}"
fonts=/usr/share/fonts/truetype/dejavu
bold="$fonts/DejaVuSans-Bold.ttf"
condensed="$fonts/DejaVuSansCondensed-Bold.ttf"

for f in "$bold" "$condensed"; do
  if [ ! -f "$f" ]; then
    echo "make-pictures: $f is missing; install the Debian package fonts-dejavu-core" >&2
    exit 1
  fi
done
if ! "$convert" -version 2>/dev/null | grep -q ImageMagick; then
  echo "make-pictures: $convert is not ImageMagick; install the Debian package imagemagick" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# pack_icon NAME: joins $work/NAME-16.png, NAME-24.png and NAME-32.png into $out/NAME.ico; without a
# drawing of its own, the 24x24 image is the 32x32 one made smaller.
pack_icon() {
  local name="$1" s16="$work/$1-16.png" s24="$work/$1-24.png" s32="$work/$1-32.png"
  if [ ! -f "$s24" ]; then
    "$convert" "$s32" -filter Lanczos -resize 24x24 "$s24"
  fi
  # Palette images: binary transparency (alpha cut at half), at most 255 colours plus the mask.
  "$convert" \
    \( "$s16" -channel A -threshold 50% +channel +dither -colors 255 -type PaletteMatte \) \
    \( "$s32" -channel A -threshold 50% +channel +dither -colors 255 -type PaletteMatte \) \
    \( "$s16" -type TrueColorAlpha \) \
    \( "$s24" -type TrueColorAlpha \) \
    \( "$s32" -type TrueColorAlpha \) \
    "$out/$name.ico"
}

# badge SIZE COLOUR FILE: a rounded square in COLOUR, the background of the count icons.
badge() {
  local size="$1" colour="$2" file="$3" last=$(($1 - 1)) radius=$(($1 / 4))
  "$convert" -size "${size}x${size}" xc:none -fill "$colour" \
    -draw "roundrectangle 0,0 $last,$last $radius,$radius" "$file"
}

# Count icons 1..10 and "10+": the badge shifts from blue towards red as messages pile up.
for n in 1 2 3 4 5 6 7 8 9 10 11; do
  hue=$((210 + (n - 1) * 15))
  colour="hsl($((hue % 360)),75%,40%)"
  badge 16 "$colour" "$work/b16.png"
  badge 24 "$colour" "$work/b24.png"
  badge 32 "$colour" "$work/b32.png"
  if [ "$n" -le 9 ]; then
    "$convert" "$work/b16.png" -fill white -font "$bold" -pointsize 13 -gravity center \
      -annotate +0+0 "$n" "$work/icon$n-16.png"
    "$convert" "$work/b24.png" -fill white -font "$bold" -pointsize 20 -gravity center \
      -annotate +0+0 "$n" "$work/icon$n-24.png"
    "$convert" "$work/b32.png" -fill white -font "$bold" -pointsize 26 -gravity center \
      -annotate +0+0 "$n" "$work/icon$n-32.png"
  elif [ "$n" -eq 10 ]; then
    "$convert" "$work/b16.png" -fill white -font "$condensed" -pointsize 11 -gravity center \
      -annotate +0+0 "10" "$work/icon$n-16.png"
    "$convert" "$work/b24.png" -fill white -font "$condensed" -pointsize 16 -gravity center \
      -annotate +0+0 "10" "$work/icon$n-24.png"
    "$convert" "$work/b32.png" -fill white -font "$condensed" -pointsize 22 -gravity center \
      -annotate +0+0 "10" "$work/icon$n-32.png"
  else
    # "10+": the plus is drawn with crisp lines, a font plus blurs at this size.
    "$convert" "$work/b16.png" -fill white -font "$condensed" -pointsize 9 -gravity west \
      -annotate +0+0 "10" +antialias -stroke white -draw "line 13,5 13,9" -draw "line 11,7 15,7" \
      "$work/icon$n-16.png"
    "$convert" "$work/b24.png" -fill white -font "$condensed" -pointsize 13 -gravity west \
      -annotate +0+0 "10" +antialias -fill white \
      -draw "rectangle 19,8 20,15" -draw "rectangle 16,11 23,12" \
      "$work/icon$n-24.png"
    "$convert" "$work/b32.png" -fill white -font "$condensed" -pointsize 18 -gravity west \
      -annotate +0+0 "10" +antialias -fill white \
      -draw "rectangle 26,11 27,19" -draw "rectangle 23,14 30,16" \
      "$work/icon$n-32.png"
  fi
  pack_icon "icon$n"
done

# The program's picture: a friendly blue speech bubble carrying a cream envelope.
"$convert" -size 32x32 xc:none \
  -fill '#3d8fd9' -stroke '#1b4f85' -strokewidth 1 \
  -draw "roundrectangle 1.5,2.5 30.5,23.5 6,6" \
  -draw "polygon 7.5,22 7.5,30.5 15,22" \
  -stroke none -fill '#3d8fd9' -draw "rectangle 8,21 14,23" \
  -fill '#fff6d8' -stroke '#7a5230' -draw "rectangle 7.5,7.5 24.5,19.5" \
  -fill none -draw "polyline 7.5,7.5 16,14.5 24.5,7.5" \
  "$work/a_tavik-32.png"
"$convert" -size 16x16 xc:none +antialias \
  -fill '#3d8fd9' -stroke '#1b4f85' -draw "roundrectangle 0,0 15,11 3,3" \
  -draw "polygon 3,11 3,15 7,11" \
  -stroke none -draw "rectangle 4,10 6,11" \
  -fill '#fff6d8' -stroke '#7a5230' -draw "rectangle 3,2 12,9" \
  -fill none -draw "line 4,3 7,6" -draw "line 8,6 11,3" \
  "$work/a_tavik-16.png"
pack_icon a_tavik

# New mail: a cream envelope with a red "new" dot.
"$convert" -size 32x32 xc:none \
  -fill '#fff6d8' -stroke '#6d4a2a' -strokewidth 2 -draw "rectangle 2,8 27,27" \
  -fill none -draw "polyline 2,8 14.5,18 27,8" \
  -stroke none -fill '#d32f2f' -draw "circle 25,7 30,7" \
  "$work/new_mail-32.png"
"$convert" -size 16x16 xc:none +antialias \
  -fill '#fff6d8' -stroke '#6d4a2a' -draw "rectangle 0,4 13,14" \
  -draw "line 0,4 6,9" -draw "line 7,9 13,4" \
  -stroke none -fill '#d32f2f' -draw "circle 13,3 15,4" \
  "$work/new_mail-16.png"
pack_icon new_mail

# The high-priority mark of the main window: a white "!" on a red disc.
"$convert" -size 32x32 xc:none -fill '#d32f2f' -draw "circle 15.5,15.5 15.5,0.5" \
  -fill white -draw "roundrectangle 13.5,5 17.5,19 1.5,1.5" -draw "circle 15.5,24.5 15.5,22.5" \
  "$work/priority-32.png"
"$convert" -size 16x16 xc:none -fill '#d32f2f' -draw "circle 7.5,7.5 7.5,0" \
  +antialias -fill white -draw "rectangle 7,3 8,9" -draw "rectangle 7,11 8,12" \
  "$work/priority-16.png"
pack_icon priority

# Toolbar strips: six images (previous, next, delete, restore, copy, options) of 22x20 pixels at
# 100 %, drawn at 150 % and 200 % from the same shapes. The 100 % strip has 4 px unused at its end.
face='#c0c0c0'

# toolbar_strip PERCENT FILE: the six images at PERCENT of their 22x20 design, side by side.
toolbar_strip() {
  local percent="$1" file="$2"
  local scale w=$((22 * percent / 100)) h=$((20 * percent / 100))
  scale="$(printf "%d.%02d" $((percent / 100)) $((percent % 100)))"
  local size="${w}x${h}" at="scale $scale,$scale"
  "$convert" -size "$size" "xc:$face" \
    -fill '#2e7bcf' -stroke '#174a80' -strokewidth 1 \
    -draw "$at polygon 3.5,10 10.5,3.5 10.5,7.5 18.5,7.5 18.5,12.5 10.5,12.5 10.5,16.5" \
    "$work/tb0.png"
  "$convert" "$work/tb0.png" -flop "$work/tb1.png"
  "$convert" -size "$size" "xc:$face" \
    -stroke '#a31515' -strokewidth 3.2 -draw "$at line 6,4 16,15" -draw "$at line 16,4 6,15" \
    -stroke '#e53935' -strokewidth 1.6 -draw "$at line 6,4 16,15" -draw "$at line 16,4 6,15" \
    "$work/tb2.png"
  "$convert" -size "$size" "xc:$face" \
    -fill none -stroke '#2e7d32' -strokewidth 2.4 -draw "$at arc 6,4 18,16 180,360" \
    -draw "$at line 18,10 18,15" \
    -fill '#2e7d32' -stroke '#1b5e20' -strokewidth 1 -draw "$at polygon 2,10.5 10,10.5 6,15.5" \
    "$work/tb3.png"
  "$convert" -size "$size" "xc:$face" \
    -fill '#fdfdfd' -stroke '#505050' -strokewidth 1 \
    -draw "$at rectangle 3.5,2.5 12.5,13.5" -draw "$at rectangle 8.5,6.5 17.5,17.5" \
    -stroke '#7fa7d6' -draw "$at line 10.5,9.5 15.5,9.5" -draw "$at line 10.5,11.5 15.5,11.5" \
    -draw "$at line 10.5,13.5 15.5,13.5" -draw "$at line 10.5,15.5 13.5,15.5" \
    "$work/tb4.png"
  "$convert" -size "$size" "xc:$face" \
    -stroke '#505050' -strokewidth 1 \
    -draw "$at line 3.5,5.5 18.5,5.5" -draw "$at line 3.5,10.5 18.5,10.5" -draw "$at line 3.5,15.5 18.5,15.5" \
    -fill '#f5a623' -stroke '#8a5a00' \
    -draw "$at rectangle 12.5,3.5 15.5,7.5" -draw "$at rectangle 5.5,8.5 8.5,12.5" \
    -draw "$at rectangle 10.5,13.5 13.5,17.5" \
    "$work/tb5.png"
  local tail=()
  if [ "$percent" = 100 ]; then tail=(-size 4x20 "xc:$face"); fi
  "$convert" "$work/tb0.png" "$work/tb1.png" "$work/tb2.png" "$work/tb3.png" "$work/tb4.png" \
    "$work/tb5.png" "${tail[@]}" +append "$work/toolbar.png"
  # Uncompressed: the toolbar recolours the palette of a plain 8-bit bitmap, not of an RLE one.
  "$convert" "$work/toolbar.png" -alpha off +dither -colors 256 -type Palette -compress None "BMP3:$file"

  # The toolbar needs the exact size at 8 bits per pixel, uncompressed, with the exact grey left in
  # the corner.
  local want_width=$((percent == 100 ? 136 : 6 * w)) width height bits compression corner
  read -r width height bits compression < <(python3 - "$file" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
print(width, height, bits, compression)
EOF
  )
  corner="$("$convert" "$file" -format '%[pixel:p{0,0}]' info:)"
  if [ "$width" != "$want_width" ] || [ "$height" != "$h" ] || [ "$bits" != 8 ] || [ "$compression" != 0 ]; then
    echo "make-pictures: $file is ${width}x${height} at $bits bits, compression $compression;" \
      "want ${want_width}x$h at 8 bits, uncompressed" >&2
    exit 1
  fi
  case "$corner" in
    'srgb(192,192,192)'|'grey75'|'gray75'|'#C0C0C0') ;;
    *) echo "make-pictures: toolbar background of $file became $corner, want 0xC0C0C0" >&2; exit 1 ;;
  esac
}

toolbar_strip 100 "$out/toolbar.bmp"
toolbar_strip 150 "$out/toolbar_150.bmp"
toolbar_strip 200 "$out/toolbar_200.bmp"

echo "make-pictures: wrote $(cd "$out" && ls | tr '\n' ' ')"
