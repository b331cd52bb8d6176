#!/bin/sh
# Makes the desktop icon in the hicolor sizes (packaging/icons/<N>.png) from
# the icon's editable source, tools/art/icon.svg (icon_16.svg for 16 px, the
# picture reduced for that size). The scalable icon is that SVG itself.
#
# The PNGs are committed, so installing never needs these tools; to regenerate:
#   apt-get install librsvg2-bin
#   packaging/make-icons.sh
# The same source and rsvg-convert give the same bytes on every run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/tools/art"
out="$root/packaging/icons"

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "make-icons: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi

mkdir -p "$out"
rsvg-convert --width 16 --height 16 "$art/icon_16.svg" --output "$out/16.png"
for size in 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" "$art/icon.svg" --output "$out/$size.png"
done
ls -l "$out"/*.png
