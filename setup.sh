#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds, then starts the simulator
# (./setup.sh run) or runs every test (./setup.sh test), the validation of the
# desktop entry and the metainfo and a check of the installed tree included.
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
case "$mode" in
  run | test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libgtest-dev libgmock-dev libbenchmark-dev
          fonts-ipafont-gothic fonts-liberation fonts-urw-base35 fonts-lato
          desktop-file-utils appstream dpkg-dev file clang-format git
          xvfb xdotool at-spi2-core python3-pyatspi dbus-daemon dbus-bin dbus-x11 procps
          pkg-config libhdf5-dev libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
          slurm-wlm munge pybind11-dev python3-dev python3-numpy python3-pytest python3-h5py)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release

if [ "$mode" = run ]; then
  exec build/release/rdsim
fi

# The house style: every tracked C++ file as clang-format writes it.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

(cd build/release && ctest --output-on-failure)

# The engine once more under AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRDSIM_ENGINE_ONLY=ON \
      -DRDSIM_SANITIZE=ON -DRDSIM_BENCHMARKS=OFF -DRDSIM_PYTHON=OFF >/dev/null
cmake --build build/sanitize
(cd build/sanitize &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure)
