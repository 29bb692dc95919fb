#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded time on its seed
# corpus. A crash, a sanitizer report or a broken invariant fails the script;
# the input that caused it is kept under <build>/artifacts.
#
#   scripts/fuzz.sh [seconds per target]    (default 60)
#
# ZOCUT_FUZZ_BUILD_DIR chooses the build folder (default build-fuzz). Inputs
# that the fuzzer finds go to <build>/corpus, never into the seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
build="${ZOCUT_FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(parseLength parseColorText parseTransformList parseStyleSheet parseStyleDeclarations parsePathData parsePoints
  parseSvgText mergeSvgText writeSvgText)
# Targets that share another's dictionary.
declare -A dictionaries=([mergeSvgText]=parseSvgText [writeSvgText]=parseSvgText)
# The limits of one input, in bytes and seconds. A slice that takes time
# growing with the square of its length shows only on long inputs: the value
# parsers read 256 KB in at most 0.7 s under the sanitizers, a quadratic
# slice of that length takes tens of seconds. The SVG targets lay out every
# text they read, up to 0.12 ms a byte under the sanitizers (64 KB of text
# in 8 s on a busy machine), while a slice that compares every pair of the
# 64 KB's pieces takes 30 s. Inputs grow toward the length limit only over
# minutes: a short round runs inputs near the seeds' size.
declare -A maxLengths=([parseSvgText]=65536 [mergeSvgText]=65536 [writeSvgText]=65536)
declare -A timeouts=([parseSvgText]=20 [mergeSvgText]=20 [writeSvgText]=20)
# The SVG readers also start from the outside SVG files beside the project.
resvg="${ZOCUT_RESVG_DIR:-$root/../../shared/testdata/resvg}"
[ -d "$resvg" ] || resvg="$root/../shared/testdata/resvg"

# Qt keeps a few objects of its GUI application (the SVG readers lay out
# text) until the process ends; the tests' suppressions say which.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
mkdir -p "$build/artifacts"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DZOCUT_SANITIZE=address,undefined -DZOCUT_BUILD_TESTS=OFF -DZOCUT_BUILD_FUZZ=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

passed=0
failed=0
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  log="$build/fuzz_$name.log"
  mkdir -p "$corpus"
  seeds=("$root/fuzz/corpus/$name")
  if [[ "$name" == *SvgText && -d "$resvg" ]]; then
    mkdir -p "$build/seeds/svg"
    while IFS= read -r file; do
      relative="${file#"$resvg"/}"
      cp "$file" "$build/seeds/svg/${relative//\//_}"
    done < <(find "$resvg" -name '*.svg')
    seeds+=("$build/seeds/svg")
  fi
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -max_len="${maxLengths[$name]:-262144}" -timeout="${timeouts[$name]:-3}" \
      -dict="$root/fuzz/${dictionaries[$name]:-$name}.dict" -artifact_prefix="$build/artifacts/$name-" \
      "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    echo "fuzz_$name: $(grep -E '^Done [0-9]+ runs' "$log" | tail -1 || true)"
    passed=$((passed + 1))
  else
    echo "fuzz_$name FAILED; last lines of $log:"
    tail -n 40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
