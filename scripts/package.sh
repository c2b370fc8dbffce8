#!/usr/bin/env bash
# Builds the release tree for /usr and makes the Debian package of it,
# build/release/wox_<version>_<arch>.deb; prints the package's path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
# The programs look for their data folder under the prefix they were built for.
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DWOX_TESTS=OFF >/dev/null
cmake --build "$root/build/release"
cd "$root/build/release"
cpack -G DEB >/dev/null
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' CPackConfig.cmake)"
deb="$PWD/wox_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package: $deb was not made" >&2; exit 1; }
echo "$deb"
