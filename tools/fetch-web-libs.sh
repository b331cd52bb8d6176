#!/bin/sh
# Builds zlib, libpng and FreeType for the web page from Debian's own source
# packages, the very versions the Linux build links, so both builds decode
# PNGs and draw text with the same code. Sources come through a private apt
# configuration that only adds deb-src entries (the system's lists are left
# alone; apt checks the archive's signatures). Everything lands under
# build/web-libs/: src/ (the unpacked packages) and prefix/ (headers and
# static libraries for cmake/emscripten.cmake). Nothing is done twice.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)/build/web-libs
APT=$ROOT/apt
SRC=$ROOT/src
PREFIX=$ROOT/prefix
# every object of a threaded wasm link must be built for shared memory
FLAGS="-O2 -pthread"
export NODE_PATH=/usr/share/nodejs
mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial" "$APT/parts" "$SRC" "$PREFIX"

. /etc/os-release
CODENAME=${VERSION_CODENAME:-bookworm}
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
cat > "$APT/sources.list" <<EOF
deb-src [signed-by=$KEYRING] http://deb.debian.org/debian $CODENAME main
deb-src [signed-by=$KEYRING] http://deb.debian.org/debian $CODENAME-updates main
deb-src [signed-by=$KEYRING] http://deb.debian.org/debian-security $CODENAME-security main
EOF
apt_private() {
  apt-get -o Dir::Etc::SourceList="$APT/sources.list" -o Dir::Etc::SourceParts="$APT/parts" \
    -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" "$@"
}

# "<source package> <version>" of the Linux build's development package
linux_source() {
  dpkg-query -W -f '${source:Package} ${source:Version}' "$1" 2>/dev/null || true
}

# Unpacks the source of the Linux build's version into $SRC/<name>-<upstream>;
# prints the folder. Where the archive no longer serves that exact revision
# (a security update whose source left the mirror), the newest revision of
# the same upstream version is taken instead, and said so.
fetch() {
  dev=$1
  set -- $(linux_source "$dev")
  if [ -z "$1" ]; then
    echo "fetch-web-libs: $dev is not installed (tools/install-deps.sh)" >&2
    exit 1
  fi
  name=$1 version=$2
  upstream=${version#*:}
  upstream=${upstream%-*}
  dir=$SRC/$name-$upstream
  if [ ! -f "$dir/.unpacked" ]; then
    if [ ! -f "$APT/.updated" ]; then
      apt_private update >&2
      touch "$APT/.updated"
    fi
    others=$(apt-cache -o Dir::Etc::SourceList="$APT/sources.list" -o Dir::Etc::SourceParts="$APT/parts" \
        -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" showsrc --only-source "$name" |
      sed -n 's/^Version: //p' | sort -u | sort -r -V)
    got=""
    for v in $version $others; do
      case ${v#*:} in "$upstream"-*) ;; *) continue ;; esac
      rm -rf "$dir"
      if (cd "$SRC" && apt_private source --only-source "$name=$v" >&2); then
        got=$v
        break
      fi
    done
    if [ -z "$got" ]; then
      echo "fetch-web-libs: no source of $name $upstream could be fetched" >&2
      exit 1
    fi
    [ "$got" = "$version" ] || echo "fetch-web-libs: $name $version is not served any more; using $got" >&2
    echo "$got" > "$dir/.unpacked"
  fi
  echo "$dir"
}

ZLIB=$(fetch zlib1g-dev)
PNG=$(fetch libpng-dev)
FT=$(fetch libfreetype-dev)

if [ ! -f "$PREFIX/lib/libz.a" ]; then
  rm -rf "$ROOT/build-zlib" && cp -a "$ZLIB" "$ROOT/build-zlib"
  (cd "$ROOT/build-zlib" && CFLAGS="$FLAGS" emconfigure ./configure --static >/dev/null && emmake make -j2 libz.a >/dev/null)
  mkdir -p "$PREFIX/lib" "$PREFIX/include"
  cp "$ROOT/build-zlib/zlib.h" "$ROOT/build-zlib/zconf.h" "$PREFIX/include/"
  cp "$ROOT/build-zlib/libz.a" "$PREFIX/lib/"
fi

if [ ! -f "$PREFIX/lib/libpng16.a" ]; then
  emcmake cmake -S "$PNG" -B "$ROOT/build-png" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
  cmake --build "$ROOT/build-png" -j2 >/dev/null
  cmake --install "$ROOT/build-png" >/dev/null
fi

if [ ! -f "$PREFIX/lib/libfreetype.a" ]; then
  # zlib and libpng as on Linux; the rest is for fonts the program never uses
  emcmake cmake -S "$FT" -B "$ROOT/build-freetype" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include" -DPNG_PNG_INCLUDE_DIR="$PREFIX/include" -DPNG_LIBRARY="$PREFIX/lib/libpng16.a" \
    -DFT_REQUIRE_ZLIB=ON -DFT_REQUIRE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON >/dev/null
  cmake --build "$ROOT/build-freetype" -j2 >/dev/null
  cmake --install "$ROOT/build-freetype" >/dev/null
fi
echo "$PREFIX"
