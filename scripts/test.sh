#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="${ZOCUT_TEST_BUILD_DIR:-$root/build-test}"
jobs=$(nproc)
cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DZOCUT_SANITIZE=address,undefined -DZOCUT_BUILD_TESTS=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$build" -j "$jobs"
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 600
