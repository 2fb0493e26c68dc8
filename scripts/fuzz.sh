#!/usr/bin/env bash
# Runs every fuzz target for a while (default 600 seconds each), two at a time at the
# lowest priority. New inputs go to build-fuzz/corpus/<target>, which starts from the seeds
# in fuzz/corpus; a crash leaves its input in build-fuzz/findings/<target>. The last lines
# of each log (build-fuzz/fuzz-<target>.log) give the executions and coverage reached.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(catalogue records page_message js_string_literal retry_after login_redirect)
fi
parallel=${FUZZ_PARALLEL:-2}

cmake --preset fuzz >/dev/null
nice -n 10 cmake --build --preset fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run() {
  local target=$1
  local work=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
  mkdir -p "$work" "$findings"
  if nice -n 19 "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" "$work" "fuzz/corpus/$target" \
      >"build-fuzz/fuzz-$target.log" 2>&1; then
    echo "$target: $(grep -E '^stat::number_of_executed_units' "build-fuzz/fuzz-$target.log" | awk '{print $2}') runs, no crash"
  else
    echo "$target: FAILED, see build-fuzz/fuzz-$target.log and $findings"
    return 1
  fi
}

status=0
pids=()
for target in "${targets[@]}"; do
  run "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
exit $status
