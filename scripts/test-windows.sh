#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 and runs the end-to-end tests on it under
# Wine, against the Linux build's results. Installs what is missing (Debian packages).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/scripts/setup.sh" g++-mingw-w64-x86-64-posix wine wine64

cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DTALDEVON_TESTS=OFF
cmake --build "$root/build/windows" -j "$jobs"
cmake -S "$root" -B "$root/build/wine-e2e" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALDEVON_TESTS=ON
cmake --build "$root/build/wine-e2e" -j "$jobs" --target taldevon_endtoend_tests

export WINEPREFIX
WINEPREFIX=$(mktemp -d)
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# No debug channels: Wine then writes nothing of its own to standard error, which the tests
# hold empty. No Mono or Gecko: a console program needs neither, and their installers ask.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's server and its services are started here, once, detached from every pipe: a program
# that starts them hands them its standard output and error, which then stay open long after
# it has ended. A persistent server also saves each test run the server's start.
wineserver -p </dev/null >/dev/null 2>&1
timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1

export TALDEVON_PROGRAM="$root/build/windows/src/taldevon.exe"
export TALDEVON_LAUNCHER=wine
export TALDEVON_HOST=windows
export TALDEVON_REFERENCE_PROGRAM="$root/build/wine-e2e/src/taldevon"
ctest --test-dir "$root/build/wine-e2e" -R "RunProgram|ExternalCases" --timeout 600 \
  --output-on-failure -j "$jobs"
