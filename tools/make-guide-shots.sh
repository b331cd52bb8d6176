#!/bin/sh
# Makes the user guide's screenshots (docs/guide/*.png): builds the sound box
# if needed, then plays docs/guide/shots.txt on the headless bench with the
# default skin and sound packs, on a new device, and keeps every shot it takes.
#
#   tools/make-guide-shots.sh [BUILD_DIR]     (default build/release)
#
# The bench runs on its virtual clock, so the same build, skin and packs give
# the same pictures on every run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/release"}
guide="$root/docs/guide"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target jostlepad -j "$(nproc 2>/dev/null || echo 2)"
build=$(cd "$build" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The skin and packs of the checkout, not the staged copy: staging only adds
# files, so a pack removed since an older build would still be listed there.
mkdir -p "$work/app"
cp -R "$root/assets/Skin" "$root/assets/Sounds" "$work/app/"

# Shots are written where the script names them: relative to the work folder.
(cd "$work" && "$build/Jostlepad/jostlepad" --headless --script "$guide/shots.txt" \
  --device "$work/device" --app-dir "$work/app")

for shot in "$work"/*.png; do
  cp "$shot" "$guide/"
done
ls -l "$guide"/*.png
