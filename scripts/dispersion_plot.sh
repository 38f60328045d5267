#!/usr/bin/env bash
# Makes the README's dispersion plot of the Labyrinth preset
# (docs/stability/labyrinth-dispersion.png) on Qt's offscreen platform, so no
# display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build/release}
[ -f "$build/build.ninja" ] || [ -f "$build/Makefile" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target rdsim_dispersion_plot
mkdir -p docs/stability
QT_QPA_PLATFORM=offscreen "$build/rdsim_dispersion_plot" docs/stability/labyrinth-dispersion.png
ls -l docs/stability
