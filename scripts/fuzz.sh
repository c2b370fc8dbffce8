#!/usr/bin/env bash
# Builds the fuzz targets with clang (when it is installed) and runs one:
#   scripts/fuzz.sh [translate|evaluate|workspace_read|script_read|xlsx_read|csv_read] [seconds]
# Each target works inside its own folder under /tmp (fuzz/sandbox.h), so
# the corpus and crash artifacts are given as absolute paths.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-evaluate}_fuzz"
seconds="${2:-60}"
if ! command -v clang++-16 >/dev/null; then
  echo "fuzz: clang++-16 is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-16 -DCMAKE_C_COMPILER=clang-16 \
  -DWOX_FUZZ=ON -DWOX_TESTS=OFF -DWOX_BENCH=OFF -DWOX_WERROR=ON >/dev/null
cmake --build "$root/build/fuzz" --target "$target"
corpus="$root/build/fuzz/corpus-$target"
mkdir -p "$corpus"
exec "$root/build/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len=256 -rss_limit_mb=4096 \
  -artifact_prefix="$root/build/fuzz/"
