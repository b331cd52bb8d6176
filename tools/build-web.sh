#!/bin/sh
# Builds the browser version into build/web/site/: index.html and all it
# loads (the program as jostlepad.js/.wasm/.worker.js, the page's scripts,
# the fonts and the app folder as data packages). Serve it with
# tools/serve-web.sh. Options:
#   --app-dir DIR --name NAME   also package DIR (its Skin/ and Sounds/) as the
#                               app folder the page runs with ?app=NAME
# (repeatable; the default app folder is assets/).
set -e
cd "$(dirname "$0")/.."
APPS=""
while [ $# -gt 0 ]; do
  case "$1" in
    --app-dir) dir=$2; shift 2
      [ "${1:-}" = "--name" ] || { echo "build-web: --app-dir DIR needs --name NAME after it" >&2; exit 2; }
      name=$2; shift 2
      case "$name" in ''|*[!A-Za-z0-9_-]*|default) echo "build-web: bad app name '$name'" >&2; exit 2 ;; esac
      [ -d "$dir" ] || { echo "build-web: $dir is not a folder" >&2; exit 2; }
      APPS="$APPS $name=$(cd "$dir" && pwd)" ;;
    *) echo "usage: tools/build-web.sh [--app-dir DIR --name NAME]..." >&2; exit 2 ;;
  esac
done

tools/install-deps.sh --web
tools/fetch-web-libs.sh >/dev/null
export NODE_PATH=/usr/share/nodejs
LAUNCH=""
if command -v ccache >/dev/null; then
  LAUNCH="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DJOSTLEPAD_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake $LAUNCH >/dev/null
cmake --build build/web -j2

SITE=build/web/site
PACK="python3 /usr/share/emscripten/tools/file_packager.py"
# emptied, not removed: a server may be serving it
mkdir -p "$SITE" && find "$SITE" -mindepth 1 -delete
mkdir -p "$SITE/apps"
cp build/web/out/jostlepad.js build/web/out/jostlepad.wasm build/web/out/jostlepad.worker.js "$SITE/"
cp web/page/index.html web/page/jostlepad-page.js web/page/page-logic.js web/page/audio-worklet.js "$SITE/"

# the faces the program draws with, where the Linux build finds them
FONTS=/usr/share/fonts/truetype/dejavu
STAGE=build/web/stage
rm -rf "$STAGE" && mkdir -p "$STAGE/fonts"
cp "$FONTS/DejaVuSans.ttf" "$FONTS/DejaVuSans-Bold.ttf" "$STAGE/fonts/"
(cd "$STAGE" && $PACK ../site/fonts.data --preload "fonts@$FONTS" --js-output=../site/fonts.js --no-node >/dev/null)

# an app folder: Skin/ and Sounds/ at /app, beside the program's Jostlepad.exe
package_app() {
  name=$1 dir=$2
  rm -rf "$STAGE/app" && mkdir -p "$STAGE/app"
  for part in Skin Sounds LICENSE; do
    [ -e "$dir/$part" ] && cp -R "$dir/$part" "$STAGE/app/"
  done
  (cd "$STAGE" && $PACK "../site/apps/$name.data" --preload app@/app --exclude '.keep' \
    --js-output="../site/apps/$name.js" --no-node >/dev/null)
  # the package fetches its data beside the page; it lives in apps/
  sed -i "s|'$name.data'|'apps/$name.data'|g; s|\"$name.data\"|\"apps/$name.data\"|g" "$SITE/apps/$name.js"
}
package_app default "$(pwd)/assets"
for app in $APPS; do package_app "${app%%=*}" "${app#*=}"; done
rm -rf "$STAGE"
# last: the service worker's cache lists the finished site
web/site-shell/install.sh "$SITE"
echo "build-web: $SITE ($(du -sh "$SITE" | cut -f1))"
