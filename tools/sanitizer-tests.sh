#!/usr/bin/env bash
# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer:
# the core libraries, kalvex-batch and the GoogleTest executables only (the
# Qt window tests run in the normal build). Run after ./build.sh test, which
# installs what the build needs.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKALVEX_SANITIZE=ON -DKALVEX_GUI=OFF -DKALVEX_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$(nproc)"
built=$(date +%s)
cd build-sanitize
ctest --output-on-failure -j "$(nproc)"
echo "sanitizer build: $((built - start)) s, its tests: $(($(date +%s) - built)) s"
