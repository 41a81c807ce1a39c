#!/usr/bin/env bash
# Builds the fuzz targets of the parsers (clang, libFuzzer, address and
# undefined-behaviour sanitizers) in build/fuzz and runs each in turn on a
# copy of its seed corpus fuzz/corpus/<target>/, so the repository's corpus
# never changes. Prints per target the executions, executions per second,
# coverage (cov: edges, ft: features) and crashes found; fails when a target
# crashed or broke one of its properties.
#
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target ...]
#   HX_FUZZ_RUNS=N  each target stops after N executions instead; the time
#                   limit (then default one day) only guards against a hang.
#   HX_BUILD_DIR    another build folder (default: build/ in the source tree).
# A crash's input is kept as build/fuzz/crashes/<target>/crash-...; run
#   build/fuzz/fuzz/fuzz_<target> <that file>
# to see it again. Targets are listed in fuzz/CMakeLists.txt; a new one is
# picked up from there.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${HX_FUZZ_RUNS:-}
seconds=${1:-}
[ -n "$seconds" ] || { [ -n "$runs" ] && seconds=86400 || seconds=60; }
shift $(( $# > 0 ? 1 : 0 ))
dir="${HX_BUILD_DIR:-$root/build}/fuzz"

"$root/scripts/setup.sh" || exit 1

# The machine is shared: the build and the runs make way for other work.
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHX_FUZZ=ON >/dev/null || exit 1
fi
nice -n 10 cmake --build "$dir" -j"$(nproc)" --target fuzzers -- --no-print-directory |
  { grep -E "(warning|error):|Error [0-9]" || true; }
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz build failed"; exit 1; }

targets=("$@")
((${#targets[@]})) || mapfile -t targets < "$dir/fuzz_targets.txt"

limits=(-max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1)
# ASan fills new blocks and keeps a large quarantine by default; on inputs
# this small that costs more than the parsers themselves.
export ASAN_OPTIONS=${ASAN_OPTIONS:-max_malloc_fill_size=0:quarantine_size_mb=16:malloc_context_size=10}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
[ -n "$runs" ] && limits+=(-runs="$runs")

failed=0
printf '%-12s %12s %8s %6s %6s %7s %7s\n' target executions exec/s cov ft corpus crashes
for t in "${targets[@]}"; do
  fuzzer="$dir/fuzz/fuzz_$t"
  seeds="$root/fuzz/corpus/$t"
  work="$dir/work/$t"
  crashes="$dir/crashes/$t"
  log="$dir/logs/$t.log"
  if [ ! -x "$fuzzer" ] || [ ! -d "$seeds" ]; then
    echo "$t: no such target or no seed corpus"
    failed=$((failed + 1))
    continue
  fi
  rm -rf "$work" "$crashes"
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  cp "$seeds"/* "$work"/
  nice -n 10 "$fuzzer" "${limits[@]}" -artifact_prefix="$crashes/" "$work" >"$log" 2>&1
  status=$?

  executions=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  speed=$(grep -oE '^stat::average_exec_per_sec: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  last=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -1)
  [ -n "$executions" ] || executions=$(sed -E 's/^#([0-9]+).*/\1/' <<<"$last")
  cov=$(grep -oE 'cov: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
  ft=$(grep -oE 'ft: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
  corpus=$(find "$work" -type f | wc -l)
  found=$(find "$crashes" -type f | wc -l)
  printf '%-12s %12s %8s %6s %6s %7s %7s\n' "$t" "${executions:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" \
    "$corpus" "$found"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=$((failed + 1))
    grep -E 'Property failed|ERROR: |SUMMARY: |runtime error' "$log" | head -5 | sed 's/^/    /'
    find "$crashes" -type f | sed 's/^/    input: /'
    echo "    log: $log"
  fi
done
[ "$failed" -eq 0 ]
