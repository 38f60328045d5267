#!/usr/bin/env bash
# rdsim-atlas on all cores against one: a 6 x 6 sweep at N = 64, K = 20,000,
# --jobs 1 and --jobs 2 alternately, best of five wall times each (other work
# on the machine only ever slows a round down); then the peak memory of 2 x 2,
# 6 x 6 and 12 x 12 sweeps, which should not grow with the number of points
# beyond the sheet itself.
#   bench/atlas_jobs.sh [build/release/rdsim-atlas]
set -euo pipefail
atlas=${1:-build/release/rdsim-atlas}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../scripts/design_coefficients.sh"
params=$design_params

# Wall seconds of one whole run (points, table and sheet); its summary line
# goes to $work/summary.
run() {
  local start=$EPOCHREALTIME
  "$atlas" run --mode 2d --size 64 --steps "$1" --params "$params" --random 1 \
    --x "0:0.04:0.14:$2" --y "4:0.02:0.12:$2" --jobs "$3" --out "$work/out" >"$work/summary"
  local end=$EPOCHREALTIME
  grep -q "^points=$(($2 * $2)) faults=0 " "$work/summary" || { echo "$0: run failed" >&2; exit 1; }
  echo "$start $end" | awk '{printf "%.3f", $2 - $1}'
}

best1=999999 best2=999999
for round in 1 2 3 4 5; do
  t1=$(run 20000 6 1)
  t2=$(run 20000 6 2)
  echo "round $round: --jobs 1 ${t1} s, --jobs 2 ${t2} s"
  best1=$(echo "$best1 $t1" | awk '{print ($2 < $1) ? $2 : $1}')
  best2=$(echo "$best2 $t2" | awk '{print ($2 < $1) ? $2 : $1}')
done
echo "6x6 sweep, N=64, K=20000: --jobs 1 best ${best1} s, --jobs 2 best ${best2} s," \
  "speed-up $(echo "$best1 $best2" | awk '{printf "%.2f", $1 / $2}')x"

for side in 2 6 12; do
  run 2000 "$side" 2 >/dev/null
  echo "${side}x${side} sweep, N=64, K=2000, --jobs 2: $(tr ' ' '\n' <"$work/summary" | grep peak_kb)"
done
uptime
