#!/usr/bin/env bash
# Checks what a user installs: validators on the menu entry and metainfo, the install tree
# from a temporary prefix, the program starting from there with no source tree to fall
# back on (through the harness), a broken layout reported with file and line, and the Debian
# package's contents.
# Usage: check_packaging.sh BUILD_DIR [--no-package]
set -euo pipefail
build=$(cd "${1:?usage: check_packaging.sh BUILD_DIR [--no-package]}" && pwd)
with_package=1
[ "${2:-}" = "--no-package" ] && with_package=0
root=$(cd "$(dirname "$0")/.." && pwd)
id=io.github.soundgen.SoundGenerator

fail() { echo "check_packaging: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup.sh)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== validators"
desktop-file-validate "$root/packaging/$id.desktop"
appstreamcli validate --no-net "$build/packaging/$id.metainfo.xml"

expected=(
  bin/soundgen
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/man/man1/soundgen.1
  share/doc/soundgen/copyright
  share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

# Exactly the expected files, PNG icons of their stated size.
check_tree() {
  local prefix=$1 actual want
  actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
  want=$(printf '%s\n' "${expected[@]}" | sort)
  if [ "$actual" != "$want" ]; then
    diff <(echo "$want") <(echo "$actual") >&2 || true
    fail "$prefix: installed files differ from the expected list (< expected, > installed)"
  fi
  for size in 16 32 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
      fail "icon ${size}x${size} is not a $size x $size PNG"
  done
  grep -q "^Exec=soundgen$" "$prefix/share/applications/$id.desktop" || fail "desktop entry does not start soundgen"
}

echo "== install tree"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --strip >/dev/null
check_tree "$prefix"
# A copied binary must not depend on where it was built.
if strings "$prefix/bin/soundgen" | grep -qF "$root/resources"; then
  fail "the program still names the source tree's resources folder"
fi

echo "== broken layout names file and line"
broken=$work/broken
mkdir -p "$broken"
printf 'TForm1 Form1 {\n  Left = \n}\n' >"$broken/Form1.layout"
set +e
err=$(cd "$work" && SOUNDGEN_RESOURCES="$broken" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  timeout 30 "$prefix/bin/soundgen" 2>&1 >/dev/null)
status=$?
set -e
[ "$status" -eq 1 ] || fail "broken layout: exit status $status, expected 1 ($err)"
echo "$err" | grep -qE "Form1\.layout:[0-9]+:" || fail "broken layout: no file and line in: $err"

echo "== installed program starts"
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "no Xvfb or xdotool: start-up from the install tree not checked"
else
  # Away from the source tree, with no resource override.
  (env -u SOUNDGEN_RESOURCES PYTHONPATH="$root" python3 -m harness.window_check --size 275x650 --cwd "$work" \
    --set QT_QPA_PLATFORM=xcb -- "$prefix/bin/soundgen") || fail "the installed program did not show its window"
fi

if [ "$with_package" -eq 1 ]; then
  echo "== Debian package"
  command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || fail "cpack or dpkg-deb missing"
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
  deb=$(ls "$work"/deb/*.deb)
  unpacked=$work/unpacked
  dpkg-deb -x "$deb" "$unpacked"
  check_tree "$unpacked/usr"
  [ "$(find "$unpacked" -type f | wc -l)" -eq "${#expected[@]}" ] || fail "package holds files outside /usr"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libqt6widgets6 libsdl2 libc6 qt6-qpa-plugins; do
    echo "$depends" | grep -q "$lib" || fail "package Depends lacks $lib: $depends"
  done
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "package has no maintainer"
  [ "$(dpkg-deb -f "$deb" Section)" = "sound" ] || fail "package section is not sound"
fi

echo "packaging checks passed"
