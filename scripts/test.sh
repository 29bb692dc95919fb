#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test headless; builds the tests
# once more optimized and runs there every test but the runs of the whole
# program; then gives each fuzz target a few seconds on its seed corpus.
# Every part runs; the script fails when any of them failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="${ZOCUT_TEST_BUILD_DIR:-$root/build-test}"
jobs=$(nproc)
failed=()
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

# ThreadSanitizer over the tests whose work runs on several threads: the
# parallel loops (merge, offset, consumed area, nesting preparation, the
# conversion's sections), the plotter's thread, the nesting workers, the
# intersection check's slices, the cut's conversion task, the translator's
# lookups from other threads, the settings and the log from several
# threads. Only these targets are built, which keeps the third build short.
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
