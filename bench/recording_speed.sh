#!/usr/bin/env bash
# rdsim-batch's steps per second at N = 128 with a frame every 100 steps
# recorded to GIF and to MP4, beside the same run without a movie. Each is
# run three times and the best counts, since the machine may be shared. The
# rate is over the whole process, so that frames still being encoded after the
# last step count too.
#   bench/recording_speed.sh [path/to/rdsim-batch] [steps]
set -euo pipefail
batch=${1:-build/release/rdsim-batch}
steps=${2:-40000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../scripts/design_coefficients.sh"
params=$design_params

best() {
  local top=0 rate
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$batch" --mode 2d --size 128 --steps "$steps" --params "$params" --random 1 "$@" >/dev/null
    end=$(date +%s.%N)
    rate=$(awk -v s="$steps" -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", s / (b - a) }')
    top=$(awk -v a="$top" -v b="$rate" 'BEGIN { print (b > a) ? b : a }')
  done
  echo "$top"
}

plain=$(best)
echo "no movie: $plain steps/s"
for movie in run.gif run.mp4; do
  rate=$(best --movie "$work/$movie" --frame-every 100)
  awk -v m="$movie" -v r="$rate" -v p="$plain" 'BEGIN { printf "%s: %s steps/s, %.1f%% of no movie\n", m, r, 100 * r / p }'
done
