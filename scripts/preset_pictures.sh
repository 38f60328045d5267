#!/usr/bin/env bash
# Rebuilds the README's preset pictures (docs/presets/*.png) with rdsim-batch:
# each built-in preset from the Random button's noise (seed 1), run for the
# steps of its table row, saved as a bitmap and converted to PNG with
# ImageMagick's `convert`. Prints the README's preset table on stdout.
#   scripts/preset_pictures.sh [path/to/rdsim-batch]
set -euo pipefail
cd "$(dirname "$0")/.."

batch=${1:-build/release/rdsim-batch}
[ -x "$batch" ] || { echo "build rdsim-batch first (cmake --build build/release)" >&2; exit 2; }
command -v convert >/dev/null || { echo "needs ImageMagick's convert" >&2; exit 2; }

out=docs/presets
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "| Preset | k0 … k10 | Mode | Size | Steps | Result |"
echo "|---|---|---|---|---|---|"
"$batch" --list-presets | while IFS='|' read -r name params mode size steps; do
  slug=$(printf '%s' "$name" | tr '[:upper:]' '[:lower:]' | tr -cs 'a-z0-9' '-' | sed 's/-$//')
  "$batch" --mode "$mode" --size "$size" --steps "$steps" --params "$params" --random 1 \
           --bmp "$work/$slug.bmp" >/dev/null
  convert "$work/$slug.bmp" -strip "$out/$slug.png"  # no dates: reruns change no byte
  echo "| $name | \`${params//,/, }\` | ${mode^^} | $size | $steps | ![$name]($out/$slug.png) |"
done
