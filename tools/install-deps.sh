#!/bin/sh
# Installs the Debian packages Jostlepad builds, runs and tests with.
set -e
PACKAGES="cmake ninja-build g++ clang libclang-rt-dev pkg-config libsdl2-dev libpng-dev \
libfreetype-dev libfontconfig-dev fonts-dejavu-core libgtest-dev libgmock-dev libbenchmark-dev libx11-dev libxtst-dev xvfb xauth \
desktop-file-utils appstream"
# The web site's server and its tests in headless Chromium (tools/serve-web.sh, tests/web/)
PACKAGES="$PACKAGES nodejs chromium openssl"
# Private sound servers for the latency tool and its smoke run (tools/latency.sh)
PACKAGES="$PACKAGES pipewire pipewire-pulse wireplumber pulseaudio pulseaudio-utils dbus libpulse-dev libpipewire-0.3-dev"
# Only for regenerating the committed assets (tools/make-sounds.sh,
# tools/make-resource-pictures.sh, tools/make-skin.sh); the build and tests never need them.
if [ "${1:-}" = "--asset-tools" ]; then
  PACKAGES="sox espeak-ng librsvg2-bin python3"
fi
# The desktop Windows build and Wine to run it (tools/build-windows.sh); the
# i686 build runs in 32-bit Wine.
if [ "${1:-}" = "--windows" ]; then
  PACKAGES="cmake ninja-build mingw-w64 wine wine64 wine32:i386"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; else sudo dpkg --add-architecture i386; fi
  fi
fi
# The browser build (tools/build-web.sh): emscripten, and dpkg-dev to unpack
# the source packages of zlib, libpng and FreeType built for it.
if [ "${1:-}" = "--web" ]; then
  PACKAGES="cmake ninja-build emscripten dpkg-dev python3 libpng-dev zlib1g-dev libfreetype-dev fonts-dejavu-core"
fi
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
