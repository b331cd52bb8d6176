#!/bin/sh
# Installs what is missing, builds the sound box and starts it in a window.
# Options after the command go to jostlepad (see `jostlepad --help`).
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release --target jostlepad -j "$(nproc 2>/dev/null || echo 2)"
exec build/release/Jostlepad/jostlepad "$@"
