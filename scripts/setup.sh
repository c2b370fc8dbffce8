#!/usr/bin/env bash
# Installs the Debian packages Wox needs to build and test. Does nothing when all
# of them are present, so it is safe to run before every build.
set -euo pipefail

# dpkg-dev reads the package's dependencies from the programs (cpack),
# man-db renders the manual pages in the package's test.
packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libreadline-dev libgsl-dev liblapack-dev libblas-dev
  libzip-dev zlib1g-dev libpugixml-dev libxlsxwriter-dev
  qt6-base-dev xvfb xauth
  dpkg-dev man-db
)
# clang builds the fuzz targets; optional when the archive lacks it.
optional=(clang-16 libclang-rt-16-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
opt_missing=()
if [ "${WOX_SKIP_OPTIONAL:-}" != 1 ]; then
  for p in "${optional[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || opt_missing+=("$p")
  done
fi
[ ${#missing[@]} -eq 0 ] && [ ${#opt_missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ${#opt_missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq --no-install-recommends "${opt_missing[@]}" || echo "setup: optional packages not installed: ${opt_missing[*]}"
fi
