#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test headless, then gives each fuzz
# target a few seconds on its seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="${ZOCUT_TEST_BUILD_DIR:-$root/build-test}"
jobs=$(nproc)
cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DZOCUT_SANITIZE=address,undefined -DZOCUT_BUILD_TESTS=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$build" -j "$jobs"
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 600

# A short round only: long fuzzing runs belong to scripts/fuzz.sh by hand.
ZOCUT_FUZZ_BUILD_DIR="$build-fuzz" "$root/scripts/fuzz.sh" 5
