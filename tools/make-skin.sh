#!/bin/sh
# Makes the default skin, assets/Skin/: the 45 pictures and Skin.txt, from
# their editable source tools/art/skin/skin.py.
#
# skin.py writes one SVG a picture, rsvg-convert renders each, and skin.py
# turns the renders into the PNGs the program loads (opaque, palette or 8-bit
# RGB, the bar keys cut out against their mask) and writes Skin.txt. The
# results are committed, so a build never needs these tools; to regenerate:
#   apt-get install librsvg2-bin fonts-dejavu-core python3
#   tools/make-skin.sh            (or: tools/make-skin.sh OUT_DIR, e.g. to compare)
# The same sources, rsvg-convert and fonts give the same bytes on every run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/tools/art/skin"
out="${1:-$root/assets/Skin}"

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "make-skin: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

mkdir -p "$out"
python3 "$art/skin.py" svg "$work"
for svg in "$work"/*.svg; do
  rsvg-convert "$svg" --output "${svg%.svg}.png"
done
python3 "$art/skin.py" finish "$work" "$out"

ls -l "$out" | tail -n +2 | wc -l | xargs echo "make-skin: files in $out:"
du -sh "$out"
