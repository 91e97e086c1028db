#!/usr/bin/env bash
# fuzz.sh [SECONDS | RUNSr] [TARGET...]: long runs of the fuzz targets (all by default), each for
# SECONDS (default 300) or RUNS executions ("1000000r"). Every target grows its own working corpus
# in fuzz-corpus/<target> (not committed) from the committed seeds; an input that crashes, leaks,
# hangs or breaks an invariant is kept as tests/fuzz/regressions/<target>/<kind>-<hash>, which the
# fuzz tests replay, and the run goes on. Ends with runs and coverage per target.
# Builds the sanitizer tree (preset asan, clang) with the targets first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build-asan
limit=${1:-300}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(layout amarray property_file note html command_line whole_number wav)
fi

if [ -z "${SKIP_BUILD:-}" ]; then
  bash scripts/build.sh asan >/dev/null
fi

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
summary=()
for t in "${targets[@]}"; do
  program=$build/tests/fuzz/${t}_fuzz
  [ -x "$program" ] || { echo "no fuzz program $program" >&2; exit 1; }
  work=fuzz-corpus/$t
  kept=tests/fuzz/regressions/$t
  artifacts=$(mktemp -d)
  mkdir -p "$work" "$kept"
  log=$work.log
  : >"$log"
  runs=0
  found=0
  start=$(date +%s)
  # libFuzzer stops at the first fault: keep it and go on for what is left of the budget.
  while :; do
    if [[ $limit == *r ]]; then
      budget=(-runs=$(( ${limit%r} - runs )))
      [ $(( ${limit%r} - runs )) -gt 0 ] || break
    else
      left=$(( limit - ($(date +%s) - start) ))
      [ "$left" -gt 0 ] || break
      budget=(-max_total_time=$left)
    fi
    set +e
    "$program" "${budget[@]}" -timeout=20 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$work" tests/fuzz/corpus/"$t" >>"$log" 2>&1
    status=$?
    set -e
    done_runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
    runs=$(( runs + ${done_runs:-0} ))
    # The count is per session: forget it so the next session's line is read next time.
    sed -i 's/stat::number_of_executed_units:/stat::counted_units:/' "$log"
    [ "$status" -eq 0 ] && break
    moved=0
    for f in "$artifacts"/*; do
      [ -f "$f" ] || continue
      name=$(basename "$f")
      mv "$f" "$kept/${name%%-*}-$(sha1sum "$f" 2>/dev/null | cut -c1-16 || basename "$f")"
      moved=1
      found=$(( found + 1 ))
    done
    if [ "$moved" -eq 0 ]; then
      echo "$t: stopped with status $status and no input to keep; see $log" >&2
      break
    fi
  done
  rm -rf "$artifacts"
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
  summary+=("$(printf '%-14s runs %-10s %-22s faults kept %s' "$t" "$runs" "$cov" "$found")")
done
printf '%s\n' "${summary[@]}"
