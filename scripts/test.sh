#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test headless; builds the tests
# once more optimized and runs there every test but the runs of the whole
# program, and checks that its zocut holds no test driver; builds the tests
# whose work runs on several threads with ThreadSanitizer and runs them; then
# gives each fuzz target a few seconds on its seed corpus.
# Every part runs; the script fails when any of them failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="${ZOCUT_TEST_BUILD_DIR:-$root/build-test}"
jobs=$(nproc)
failed=()

# Nothing of the program or its tests stays in the temporary folder: the
# whole run gets a fresh one, and any zocut-* entry left in it at the end
# fails the run.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/test-sh-XXXXXX")
export TMPDIR="$scratch"
leftovers() {
  local status=$? left
  left=$(find "$scratch" -mindepth 1 -maxdepth 1 -name 'zocut-*' -printf '  %f\n')
  rm -rf "$scratch"
  if [ -n "$left" ]; then
    printf 'test.sh: left in the temporary folder:\n%s\n' "$left"
    exit 1
  fi
  exit "$status"
}
trap leftovers EXIT
cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DZOCUT_SANITIZE=address,undefined -DZOCUT_BUILD_TESTS=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$build" -j "$jobs"
(cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600) || failed+=("sanitizer build")

# The sanitizers make everything several times slower; a test that passes
# only because of that (a run that should still be under way, a wait that
# is really a race) fails here. The runs of the whole program (label
# "program") are the sanitizer build's alone.
optimized="$build-opt"
cmake -S "$root" -B "$optimized" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DZOCUT_BUILD_TESTS=ON -DZOCUT_BUILD_PROGRAM_TESTS=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$optimized" -j "$jobs"
(cd "$optimized" && ctest --output-on-failure -j "$jobs" --timeout 600 -LE program) || failed+=("optimized build")

# The program built for users carries no test driver: none of the driver's
# classes (symbols, type names, debug information) nor the variables that
# would switch one on. The whole-program tests run zocut-driven instead.
driver_names='PageDriver|WidgetLocator|DrawingAudit|DriverChannel|ZOCUT_PAGE_DRIVER|ZOCUT_DRIVER_CHANNEL'
if ! cmake --build "$optimized" -j "$jobs" --target zocut || [ ! -f "$optimized/zocut" ]; then
  echo "test.sh: the optimized build has no program zocut to check for a test driver" >&2
  failed+=("driver check")
elif found=$(strings -a "$optimized/zocut" | grep -oE "$driver_names" | sort -u | paste -sd ' '); [ -n "$found" ]; then
  echo "test.sh: the program zocut holds test driver code: $found" >&2
  failed+=("driver check")
fi

# ThreadSanitizer over the tests whose work runs on several threads: the
# parallel loops (merge, offset, consumed area, nesting preparation, the
# conversion's sections), the plotter's thread, the nesting workers, the
# intersection check's slices, the cut's conversion task, the translator's
# lookups from other threads, the settings and the log from several
# threads. Every test program forces the parallel loops' threads, so this run
# sees them run in parallel whatever the machine's load. Only these targets
# are built, which keeps the third build short.
tsan="$build-tsan"
tsan_tests=(tst_ParallelLoop tst_CSVGClipper tst_CSVGShapeBoolean tst_CSVGUtilsFlatten tst_DouglasPeuckerSimplify
  tst_CSVGElement tst_CSVGDocumentIntersection tst_CSVGDocumentStructure tst_CSVGViewCut tst_Trans tst_LogHandler
  tst_CGlobalConfig tst_Plotter tst_DlgPlot tst_ConsumptionArea tst_HpglJob tst_PlacementAutomatic tst_OnlineNester)
cmake -S "$root" -B "$tsan" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DZOCUT_SANITIZE=thread \
  -DZOCUT_BUILD_TESTS=ON -DZOCUT_BUILD_PROGRAM_TESTS=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$tsan" -j "$jobs" --target "${tsan_tests[@]}"
(cd "$tsan" && ctest --output-on-failure -j "$jobs" --timeout 600 -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$") \
  || failed+=("thread sanitizer build")

# A short round only: long fuzzing runs belong to scripts/fuzz.sh by hand.
ZOCUT_FUZZ_BUILD_DIR="$build-fuzz" "$root/scripts/fuzz.sh" 5 || failed+=("fuzzing")

if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: failed in: ${failed[*]}"
  exit 1
fi
