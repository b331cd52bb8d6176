#!/bin/sh
# Cross-builds the desktop Windows program with mingw-w64, for x86_64 and i686:
# build/win64/Jostlepad/ and build/win32/Jostlepad/ hold Jostlepad.exe,
# HTCSensorSDK.dll, the device's checks, Skin/ and Sounds/. Run one with
#   wine build/win64/Jostlepad/Jostlepad.exe
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows
JOBS=$(nproc 2>/dev/null || echo 2)
for arch in x86_64:win64 i686:win32; do
  dir=build/${arch#*:}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-${arch%%:*}.cmake
  cmake --build "$dir" -j "$JOBS"
done
