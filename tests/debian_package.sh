#!/bin/sh
# Makes the Debian package of a build tree in a fresh folder and checks it:
# every file in place and nothing outside /usr, the control fields, the
# program's version against the package's, and manual pages that render
# without a warning. Skipped (77) without the Debian tools.
# Arguments: the build tree, cpack, the project version, 1 when wox-gui is built.
set -eu
build="$1" cpack="$2" version="$3" gui="$4"
for tool in dpkg-deb dpkg-shlibdeps dpkg; do
  command -v "$tool" >/dev/null || { echo "debian package: no $tool, skipped"; exit 77; }
done
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
fail() { echo "debian package: $*"; exit 1; }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"; fail "cpack failed"
fi
arch="$(dpkg --print-architecture)"
deb="$out/wox_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$out"; fail "no wox_${version}_${arch}.deb"; }

dpkg-deb -c "$deb" | awk '{print $6}' >"$out/contents"
expected="usr/bin/wox usr/share/man/man1/wox.1 usr/share/wox/standard.vsf usr/share/wox/query.vsf"
if [ "$gui" = 1 ]; then
  expected="$expected usr/bin/wox-gui usr/share/man/man1/wox-gui.1
    usr/share/applications/wox-gui.desktop usr/share/icons/hicolor/scalable/apps/wox-gui.svg
    usr/share/wox/getting-started.html usr/share/wox/keyboard.html
    usr/share/wox/primitives.html usr/share/wox/system-commands.html"
fi
for f in $expected; do
  grep -qx "\./$f" "$out/contents" || fail "$f is missing"
done
if grep -v -e '^\./$' -e '^\./usr/' "$out/contents"; then fail "the files above are outside /usr"; fi
if grep '\.in$' "$out/contents"; then fail "a help page template is packaged"; fi

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = wox ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
depends="$(field Depends)"
for lib in libc6 libreadline libgsl; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
if [ "$gui" = 1 ]; then
  echo "$depends" | grep -q libqt6widgets || fail "Depends lacks libqt6widgets: $depends"
fi

dpkg-deb -x "$deb" "$out/root"
said="$("$out/root/usr/bin/wox" --version)"
[ "$said" = "WOX version $version" ] || fail "wox --version says '$said'"

pages="wox.1"
[ "$gui" = 1 ] && pages="$pages wox-gui.1"
if command -v man >/dev/null; then
  for page in $pages; do
    file="$out/root/usr/share/man/man1/$page"
    warnings="$(man --warnings -l "$file" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man $page warns: $warnings"
    man -l "$file" 2>/dev/null | grep -q "Wox $version" || fail "$page does not name version $version"
  done
else
  echo "debian package: no man, the pages were not rendered"
fi
echo "debian package: 1 passed, 0 failed"
