#!/bin/sh
# Makes the pictures built into the executable (resources/101_icon.ico and
# 102..105 *.bmp) from their editable sources in tools/art/*.svg.
#
# rsvg-convert renders each SVG to PNG, then tools/art/png_to_resource.py
# writes the BMPs (24-bit, or 8-bit with a palette) and the icon file. The
# results are committed, so a build never needs these tools; to regenerate:
#   apt-get install librsvg2-bin fonts-dejavu-core python3
#   tools/make-resource-pictures.sh
# The same sources, rsvg-convert and fonts give the same bytes on every run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/tools/art"
out="$root/resources"

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "make-resource-pictures: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

render() {  # svg, WxH, png
  rsvg-convert --width "${2%x*}" --height "${2#*x}" "$art/$1" --output "$work/$3"
}
convert() {
  python3 "$art/png_to_resource.py" "$@"
}

render icon.svg 64x64 icon64.png
render icon.svg 48x48 icon48.png
render icon.svg 32x32 icon32.png
render icon_16.svg 16x16 icon16.png
convert ico "$out/101_icon.ico" "$work/icon64.png" "$work/icon48.png" "$work/icon32.png" "$work/icon16.png"

render splash.svg 480x480 splash.png
convert bmp24 "$work/splash.png" "$out/102_splash.bmp"

render title.svg 380x40 title.png
convert bmp8 "$work/title.png" "$out/103_title.bmp"

render donate_up.svg 184x52 donate_up.png
convert bmp8 "$work/donate_up.png" "$out/104_donate_up.bmp"
render donate_down.svg 184x52 donate_down.png
convert bmp8 "$work/donate_down.png" "$out/105_donate_down.bmp"

ls -l "$out"/*.ico "$out"/*.bmp
