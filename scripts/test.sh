#!/usr/bin/env bash
# Builds and runs every test: a Release build, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a bounded fuzzing run of the whole job (FUZZ_SECONDS, 60),
# then the end-to-end tests on the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
jobs=$(nproc)
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALDEVON_TESTS=ON
cmake --build "$root/build/release" -j "$jobs"
ctest --test-dir "$root/build/release" --output-on-failure -j "$jobs"
cmake -S "$root" -B "$root/build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALDEVON_SANITIZE=ON
cmake --build "$root/build/sanitize" -j "$jobs"
ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$jobs"
bash "$root/scripts/fuzz.sh"
bash "$root/scripts/test-windows.sh"
