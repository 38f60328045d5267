#!/usr/bin/env bash
# The early stop on the README's design sweep (8 x 8, 2D, N = 64, seed 1) at
# K = 100,000: rdsim-atlas as a user runs it against --no-skip, both on all
# allowed CPUs, alternately, best of `rounds` wall times each; the steps
# computed, and whether atlas.csv and atlas.png are the same bytes.
#   bench/atlas_settle.sh [build/release/rdsim-atlas] [steps] [rounds]
set -euo pipefail
. "$(dirname "$0")/../scripts/design_coefficients.sh"
atlas=${1:-build/release/rdsim-atlas}
steps=${2:-100000}
rounds=${3:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Wall seconds of one run into $work/$1; its summary line stays in $work/$1.out.
run() {
  local out=$1
  shift
  local start=$EPOCHREALTIME
  "$atlas" run --mode 2d --size 64 --steps "$steps" --random 1 \
    --params "$design_params" \
    --x 0:0.02:0.16:8 --y 4:0.03:0.1:8 --out "$work/$out" "$@" >"$work/$out.out"
  local end=$EPOCHREALTIME
  grep -q '^points=64 faults=0 ' "$work/$out.out" || { echo "$0: run failed" >&2; exit 1; }
  echo "$start $end" | awk '{printf "%.3f", $2 - $1}'
}

skip=999999 full=999999
for round in $(seq "$rounds"); do
  t1=$(run skip)
  t2=$(run full --no-skip)
  echo "round $round: early stop ${t1} s, --no-skip ${t2} s"
  skip=$(echo "$skip $t1" | awk '{print ($2 < $1) ? $2 : $1}')
  full=$(echo "$full $t2" | awk '{print ($2 < $1) ? $2 : $1}')
done
echo "design sweep, 8x8, N=64, K=$steps: early stop best ${skip} s, --no-skip best ${full} s," \
  "speed-up $(echo "$full $skip" | awk '{printf "%.2f", $1 / $2}')x"
echo "early stop: $(grep -o 'steps=[0-9/]*' "$work/skip.out") steps; --no-skip: $(grep -o 'steps=[0-9/]*' "$work/full.out")"
echo "settled points: $(awk -F'[ ]' -v k="$steps" '$1 == "steps" && $2 < k' "$work"/skip/points/*.txt | wc -l) of 64"
for file in atlas.csv atlas.png; do
  if cmp -s "$work/skip/$file" "$work/full/$file"; then echo "$file: identical"; else echo "$file: DIFFERS"; exit 1; fi
done
uptime
