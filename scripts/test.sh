#!/usr/bin/env bash
# Builds Wox with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test. With WOX_WERROR=ON (as CI runs it) any compiler warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
WOX_SKIP_OPTIONAL=1 bash scripts/setup.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWOX_SANITIZE=ON -DWOX_BENCH=OFF -DWOX_WERROR="${WOX_WERROR:-OFF}"
cmake --build build/test
cd build/test
ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j"$(nproc)"
