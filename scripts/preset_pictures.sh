#!/usr/bin/env bash
# Rebuilds the README's preset pictures (docs/presets/*.png) with rdsim-batch:
# each built-in preset from the Random button's noise (seed 1), run for the
# steps of its table row, saved as a bitmap and converted to PNG with
# ImageMagick's `convert`. Prints the README's preset table on stdout, with
# the wavelength the linear stability analysis predicts (the fastest-growing
# mode of the uniform state with both syntheses linear, as the analysis
# window shows first) and the dominant wavelength of the picture's field.
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

# The fastest pattern wavelength of the preferred state in `rdsim-batch
# --analyze`'s words, or the verdict when no pattern grows fastest.
predicted() {
  awk '
    /^Steady state/ { n++ }
    /activator synthesis between 0 and its limit; inhibitor synthesis between 0 and its limit/ { linear[n] = 1 }
    /Verdict:/ { v = $0; sub(/.*Verdict: /, "", v); sub(/;.*/, "", v); verdict[n] = v }
    /Fastest growth: mode/ { match($0, /wavelength [0-9.e+-]+ cells/); wl[n] = substr($0, RSTART + 11, RLENGTH - 17) }
    END {
      p = 1
      for (i = n; i >= 1; i--) if (linear[i]) p = i
      if (verdict[p] ~ /pattern$/) printf "%.3g", wl[p]; else printf "none (%s)", verdict[p]
    }'
}

echo "| Preset | k0 … k10 | Mode | Size | Steps | Wavelength, predicted / measured | Result |"
echo "|---|---|---|---|---|---|---|"
"$batch" --list-presets | while IFS='|' read -r name params mode size steps; do
  slug=$(printf '%s' "$name" | tr '[:upper:]' '[:lower:]' | tr -cs 'a-z0-9' '-' | sed 's/-$//')
  measured=$("$batch" --mode "$mode" --size "$size" --steps "$steps" --params "$params" --random 1 \
                      --bmp "$work/$slug.bmp" --wavelength | sed -n 's/^wavelength=//p')
  [ "$measured" = none ] || measured=$(LC_ALL=C printf '%.3g' "$measured")
  convert "$work/$slug.bmp" -strip "$out/$slug.png"  # no dates: reruns change no byte
  predicted=$("$batch" --analyze --mode "$mode" --size "$size" --params "$params" | predicted)
  echo "| $name | \`${params//,/, }\` | ${mode^^} | $size | $steps | $predicted / $measured | ![$name]($out/$slug.png) |"
done
