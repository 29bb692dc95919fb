#!/usr/bin/env bash
# The random-input run of the whole program for any seed and any time, on
# the sanitizer build of scripts/test.sh (build-test/, built if missing):
#
#   scripts/random-run.sh SEED [SECONDS]     the stream of SEED for SECONDS (default 60)
#   scripts/random-run.sh --steps N SEED     exactly its first N steps, as a failure's report says
#   scripts/random-run.sh --script FILE      the steps written in FILE (see tests/app/main/sequences/)
#
# It runs on a display of its own (xvfb-run) under openbox, and stops at the
# first crash, sanitizer report or silent event loop with the seed, the last
# 50 steps and the command that replays them; screenshots of the last steps
# go to build-test/zocut-random-SEED-step-*.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ZOCUT_TEST_BUILD_DIR:-$root/build-test}"

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
steps=""
script=""
while [ $# -gt 0 ]; do
  case "$1" in
    --steps) steps="${2:?}"; shift 2 ;;
    --script) script="$(cd "$(dirname "${2:?}")" && pwd)/$(basename "$2")"; shift 2 ;;
    -h|--help) usage ;;
    *) break ;;
  esac
done
seed="${1:-}"
seconds="${2:-60}"
[ -n "$script" ] || [ -n "$seed" ] || usage

if [ ! -x "$build/tests/app/main/tst_ZoCutInput" ] || [ ! -x "$build/zocut-driven" ]; then
  cmake -S "$root" -B "$build" \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DZOCUT_SANITIZE=address,undefined -DZOCUT_BUILD_TESTS=ON \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  cmake --build "$build" -j "$(nproc)" --target zocut-driven tst_ZoCutInput
fi

# The environment that the test command gives the tests on a display.
export QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software TZ=UTC QT_HASH_SEED=0
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:detect_stack_use_after_return=0:handle_abort=1
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/tests/ubsan.supp"
# The run watches the program itself; QtTest's own limit of five minutes a
# test would cut a long run short.
export QTEST_FUNCTION_TIMEOUT=$(( (seconds + 3600) * 1000 ))
if [ -n "$script" ]; then
  export ZOCUT_INPUT_SCRIPT="$script"
  test=script:given
else
  export ZOCUT_RANDOM_SEED="$seed"
  if [ -n "$steps" ]; then
    export ZOCUT_RANDOM_STEPS="$steps"
  else
    export ZOCUT_RANDOM_SECONDS="$seconds"
  fi
  test=randomInput
fi
cd "$build"
# Every step is logged, however long the run.
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests/app/main/tst_ZoCutInput" "$test" -maxwarnings 0
