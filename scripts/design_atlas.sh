#!/usr/bin/env bash
# The atlas of the README: the design coefficients with k0 (activator
# self-activation) and k4 (activation of the inhibitor) swept around them,
# 2D, N = 64, 20,000 steps from the noise of seed 1. Writes
# docs/atlas/design-k0-k4.png and .csv. Run from anywhere after a build
# (./setup.sh run or the build commands of the README).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/design_coefficients.sh

atlas=${RDSIM_ATLAS:-build/release/rdsim-atlas}
[ -x "$atlas" ] || { echo "$0: build rdsim-atlas first ($atlas is missing)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$atlas" run --mode 2d --size 64 --steps 20000 --random 1 \
  --params "$design_params" \
  --x 0:0.02:0.16:8 --y 4:0.03:0.1:8 --out "$work"
mkdir -p docs/atlas
cp "$work/atlas.png" docs/atlas/design-k0-k4.png
cp "$work/atlas.csv" docs/atlas/design-k0-k4.csv
echo "docs/atlas/design-k0-k4.png"
