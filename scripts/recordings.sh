#!/usr/bin/env bash
# Rebuilds the README's recording and space-time image with rdsim-batch:
#   docs/recordings/spiral-waves.gif  the Spiral waves preset from the Random
#       button's noise (seed 1): 2000 steps kept as a field file, then 3000
#       more from that file with a frame every 60 steps;
#   docs/recordings/pulses-1d-space-time.png  the Pulses (1D) preset from
#       seed 1, a row every 20 steps for 10000 steps.
#   scripts/recordings.sh [path/to/rdsim-batch]
set -euo pipefail
cd "$(dirname "$0")/.."

batch=${1:-build/release/rdsim-batch}
[ -x "$batch" ] || { echo "build rdsim-batch first (cmake --build build/release)" >&2; exit 2; }

out=docs/recordings
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

preset() { "$batch" --list-presets | awk -F'|' -v name="$1" '$1 == name { print $2 }'; }

spirals=$(preset "Spiral waves")
"$batch" --mode 2d --size 128 --steps 2000 --params "$spirals" --random 1 --out "$work/spirals.h5" >/dev/null
"$batch" --mode 2d --size 128 --steps 3000 --params "$spirals" --init "$work/spirals.h5" \
         --movie "$out/spiral-waves.gif" --frame-every 60 >/dev/null

pulses=$(preset "Pulses (1D)")
"$batch" --mode 1d --size 128 --steps 10000 --params "$pulses" --random 1 \
         --kymograph "$out/pulses-1d-space-time.png" --frame-every 20 >/dev/null
ls -l "$out"
