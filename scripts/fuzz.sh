#!/usr/bin/env bash
# Runs every fuzz target for a while, one after the other, and reports executions and findings.
#   scripts/fuzz.sh [seconds-per-target] [target...]     (default 300 seconds, every target)
# Uses the fuzz build the main build makes in build/fuzz (clang and libFuzzer installed:
# Debian clang-14 libclang-rt-14-dev); builds it on its own when there is none. Inputs that
# add coverage are kept in build/fuzz/corpus/<target>, so each run starts where the last
# ended; a crashing input is saved as build/fuzz/findings/<target>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
case $seconds in '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [seconds] [target...]" >&2; exit 2 ;; esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(version_resource ini sidecar digest_pass cache_record archive checksum_list)

dir=build/fuzz
if [ ! -f "$dir/build.ninja" ]; then
  clang=$(command -v clang++-14 || command -v clang++ || true)
  [ -n "$clang" ] || { echo "fuzz.sh: clang++ is needed (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 1; }
  cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=Fuzz >/dev/null
fi
cmake --build "$dir" >/dev/null
mkdir -p "$dir/findings" "$dir/logs"

status=0
printf '%-18s %8s %14s %10s %8s  %s\n' target seconds executions "exec/s" corpus result
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t"
  options=(-max_total_time="$seconds" -max_len=8192 -timeout=20 -print_final_stats=1
           -artifact_prefix="$dir/findings/$t-")
  [ "$t" = version_resource ] && options+=(-dict=tests/fuzz/version.dict)
  log=$dir/logs/$t.log
  rc=0
  "$dir/fuzz_$t" "${options[@]}" "$dir/corpus/$t" "$dir/seeds/$t" >"$log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  result=clean
  if [ "$rc" -ne 0 ]; then
    result="FINDING (exit $rc, see $log)"
    status=1
  fi
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-18s %8s %14s %10s %8s  %s\n' "$t" "${took:-?}" "${runs:-?}" "${rate:-?}" \
    "$(find "$dir/corpus/$t" -type f | wc -l)" "$result"
done
exit "$status"
