#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for VMK_FUZZ_SECONDS seconds (30 by default), as many at a time as
# there are cores. Any finding fails the run: the input is minimized into
# build-fuzz/findings/<target>/, to be added to tests/fuzz/corpus/<target>/ with its fix.
# Prints the executions per second and the total runs of each target.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${VMK_FUZZ_SECONDS:-30}"
jobs=$(nproc 2>/dev/null || echo 2)
out="$root/build-fuzz"

CXX=clang++ cmake -S "$root" -B "$out" -DVMK_FUZZ=ON -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" >/dev/null
cmake --build "$out" -j "$jobs" --target fuzz_targets

# Seeds of each target besides its own corpus folder: the examples and golden files.
declare -A extra_seeds=(
  [case_file]="$root/examples $root/tests/golden"
  [site_file]="$root/examples/two-stacks $root/examples/assessment"
  [standards_table]="$root/site"
  [station_years]="$root/examples/assessment"
)

run_one() {
  local name="$1"
  local bin="$out/bin/fuzz_$name"
  local work="$out/corpus/$name"      # grows from run to run
  local findings="$out/findings/$name"
  local log="$out/logs/$name.log"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  local seeds=()
  local dir
  for dir in "$root/tests/fuzz/corpus/$name" ${extra_seeds[$name]:-}; do
    if [ -d "$dir" ]; then seeds+=("$dir"); fi
  done
  if "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -artifact_prefix="$findings/" "$work" "${seeds[@]}" >"$log" 2>&1; then
    local execs runs
    execs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf 'fuzz %-12s %8s exec/s %10s runs  no finding\n' "$name" "$execs" "$runs"
    return 0
  fi
  echo "fuzz $name: FINDING (log: $log)"
  grep -E 'ERROR|SUMMARY|runtime error|Test unit written|^[a-z].*: ' "$log" | head -20 || true
  local crash
  for crash in "$findings"/crash-* "$findings"/leak-* "$findings"/timeout-* "$findings"/oom-*; do
    [ -f "$crash" ] || continue
    "$bin" -minimize_crash=1 -runs=20000 -exact_artifact_path="$crash.min" "$crash" \
      >/dev/null 2>&1 || true
    echo "  input: $crash (minimized: $crash.min)"
  done
  return 1
}

names=()
for bin in "$out"/bin/fuzz_*; do
  names+=("$(basename "$bin" | sed 's/^fuzz_//')")
done

failed=0
pids=()
for name in "${names[@]}"; do
  run_one "$name" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit "$failed"
