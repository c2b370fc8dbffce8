#!/usr/bin/env bash
# Builds the optimised interpreter and starts it; arguments go to wox.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWOX_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target wox >/dev/null
exec "$root/build/release/wox" "$@"
