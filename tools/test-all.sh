#!/bin/sh
# Builds and runs every test: the Windows builds (mingw-w64, run under Wine
# from the plain build's tests), the web site (emscripten, run in headless
# Chromium from the plain build's tests), the plain build (warnings as errors),
# a short latency smoke run, then the address+undefined and thread sanitizer
# builds, then the fuzz targets built with libFuzzer replaying their seed corpus.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)

run() {  # name, extra cmake options...
  dir=build/$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$JOBS"
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

# the desktop Windows builds, run under Wine by the plain build's tests
tools/build-windows.sh
# the web site, with the bench's test app packaged beside the default one, run
# in headless Chromium by the plain build's tests
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release --target web_test_app -j "$JOBS"
rm -rf build/web/test-app && build/release/web_test_app build/web/test-app
tools/build-web.sh --app-dir build/web/test-app/app --name test
run release -DJOSTLEPAD_WINDOWS_STAGES="$PWD/build/win64/Jostlepad;$PWD/build/win32/Jostlepad" \
  -DJOSTLEPAD_WEB_SITE="$PWD/build/web/site"
# tap to sound through a private PipeWire: every press's sound is found (the figures are not checked)
tools/latency.sh --smoke --program build/release/Jostlepad/jostlepad
ASAN_OPTIONS=detect_leaks=1 run asan -DJOSTLEPAD_SANITIZE=address -DJOSTLEPAD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
TSAN_OPTIONS=halt_on_error=1 run tsan -DJOSTLEPAD_SANITIZE=thread -DJOSTLEPAD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
run fuzz -DJOSTLEPAD_FUZZ=ON -DJOSTLEPAD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
echo "all tests passed"
