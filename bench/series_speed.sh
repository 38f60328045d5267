#!/usr/bin/env bash
# rdsim-batch's steps per second at N = 128 in 2D with --series every step and
# every 100 steps, beside the same run without it. The three runs take turns,
# seven rounds, and each keeps its best, since the machine may be shared.
#   bench/series_speed.sh [path/to/rdsim-batch] [steps]
set -euo pipefail
batch=${1:-build/release/rdsim-batch}
steps=${2:-50000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../scripts/design_coefficients.sh"
params=$design_params

rate() {
  "$batch" --mode 2d --size 128 --steps "$steps" --params "$params" --random 1 "$@" |
    sed -n 's/.*steps_per_second=\([0-9.]*\).*/\1/p'
}

plain=0 every1=0 every100=0
higher() { awk -v a="$1" -v b="$2" 'BEGIN { print (b > a) ? b : a }'; }
for _ in 1 2 3 4 5 6 7; do
  plain=$(higher "$plain" "$(rate)")
  every1=$(higher "$every1" "$(rate --series "$work/s.csv" --every 1)")
  every100=$(higher "$every100" "$(rate --series "$work/s.csv" --every 100)")
done
cost() { awk -v a="$plain" -v b="$1" 'BEGIN { printf "%.1f", 100 * (1 - b / a) }'; }
echo "no series:           $plain steps/s"
echo "--series --every 1:   $every1 steps/s, $(cost "$every1")% fewer (at most 10%)"
echo "--series --every 100: $every100 steps/s, $(cost "$every100")% fewer (at most 1%)"
