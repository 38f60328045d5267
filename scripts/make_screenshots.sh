#!/usr/bin/env bash
# Makes the README's screenshots (docs/screenshots/run-2d.png, run-1d.png):
# builds the small shooting program and runs it on Qt's offscreen platform,
# so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build/release}
[ -f "$build/build.ninja" ] || [ -f "$build/Makefile" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target rdsim_screenshots
QT_QPA_PLATFORM=offscreen "$build/rdsim_screenshots" docs/screenshots
ls -l docs/screenshots
