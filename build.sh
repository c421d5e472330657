#!/usr/bin/env bash
# Kalvex set-up: installs what is missing (Debian 12), builds, then
#   ./build.sh run    starts the workbench on the two-species example (or, without a display, the batch example)
#   ./build.sh test   runs every test
#   ./build.sh screenshots   retakes the guide's pictures (docs/images)
set -euo pipefail
cd "$(dirname "$0")"

# locales: the sources from which the tests compile a comma-decimal locale.
packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev
          libbenchmark-dev libboost-math-dev libtrilinos-sacado-dev xvfb xauth fonts-liberation imagemagick locales)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$(nproc)"
}

mode="${1:-run}"
install_missing
build

case "$mode" in
  run)
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec ./build/kalvex --example
    fi
    echo "No display. To see the workbench start it under Xvfb:"
    echo "  xvfb-run -s '-screen 0 1280x1024x24' ./build/kalvex --example"
    echo "Running the batch example instead:"
    exec ./build/kalvex-batch eval --species 2 --data examples/two_species.dat --alg examples/two_species.alg
    ;;
  screenshots)
    packages=(xvfb openbox xdotool imagemagick x11-utils)
    install_missing
    exec tools/guide_screenshots.sh build
    ;;
  test)
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: ./build.sh [run|test|screenshots]" >&2
    exit 2
    ;;
esac
