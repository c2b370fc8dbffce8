#!/bin/sh
# Installs the build tree into a fresh prefix and checks that every file lands
# under it where the desktop and the Help menu look for it.
set -eu
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/wox bin/wox-gui share/applications/wox-gui.desktop \
         share/icons/hicolor/scalable/apps/wox-gui.svg share/wox/getting-started.html \
         share/wox/keyboard.html share/wox/primitives.html share/wox/system-commands.html; do
  [ -f "$prefix/$f" ] || { echo "install: $f is missing"; exit 1; }
done
# The pages' templates stay behind.
if ls "$prefix"/share/wox/*.in >/dev/null 2>&1; then
  echo "install: a help page template was installed"; exit 1
fi
# Nothing may go outside the prefix.
if grep -v "^$prefix/" "$build/install_manifest.txt"; then
  echo "install: files above went outside the prefix"; exit 1
fi
grep -q '^Exec=wox-gui' "$prefix/share/applications/wox-gui.desktop"
grep -q '^Icon=wox-gui$' "$prefix/share/applications/wox-gui.desktop"
echo "install layout: 1 passed, 0 failed"
