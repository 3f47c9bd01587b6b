#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (host only) and runs each one for a bounded time, keeping a
# growing corpus under build/fuzz. A crash or sanitizer report fails the run and leaves the input in
# build/fuzz/artifacts.
#   tools/fuzz.sh short            about 15 s per target (part of ./test)
#   tools/fuzz.sh long [seconds]   a longer run, 600 s per target unless given
#   tools/fuzz.sh runs N           until each target has executed N inputs, however long that takes
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-short}"
limit=()
case "$mode" in
  short) seconds=15 ;;
  long) seconds="${2:-600}" ;;
  runs) seconds=0; limit=(-runs="${2:?usage: $0 runs N}") ;;
  *) echo "usage: $0 short|long [seconds]|runs N" >&2; exit 2 ;;
esac

targets=(fuzz_regex fuzz_csv fuzz_ini fuzz_integer_text fuzz_font_text fuzz_message_params fuzz_log_ring fuzz_snapshot)
build=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEPROBE_FUZZ=ON \
  -DPANEPROBE_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]}" >/dev/null

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  # The checked-in seeds are read but never written to; new finds go to the corpus under build/.
  started=$SECONDS
  if ! "$build/bin/$target" -max_total_time="$seconds" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" "$corpus" "tests/fuzz/seeds/$target" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$target: FAILED (input saved under $build/artifacts)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "$target: ${runs:-?} executions in $((SECONDS - started)) s, corpus $(find "$corpus" -type f | wc -l) inputs"
done
