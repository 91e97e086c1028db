#!/usr/bin/env bash
# Installs the Debian package on this machine the way a user would (apt-get install ./….deb,
# which pulls in its dependencies), starts the program with the menu entry's own command from
# outside any source tree under Xvfb, and removes the package again. Changes the system, so
# the test command does not run it. Needs root (or sudo).
# Usage: check_deb_install.sh BUILD_DIR [--keep]
set -euo pipefail
build=$(cd "${1:?usage: check_deb_install.sh BUILD_DIR [--keep]}" && pwd)
keep=0
[ "${2:-}" = "--keep" ] && keep=1
id=io.github.soundgen.SoundGenerator
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

fail() { echo "check_deb_install: $*" >&2; exit 1; }
if dpkg-query -W -f='${Status}' soundgen 2>/dev/null | grep -q "install ok installed"; then
  fail "a soundgen package is installed already; remove it first"
fi
[ ! -e /usr/bin/soundgen ] || fail "/usr/bin/soundgen exists outside the package; not overwriting it"

work=$(mktemp -d)
xvfb=""
installed=0
cleanup() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  if [ "$installed" -eq 1 ] && [ "$keep" -eq 0 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q soundgen >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== package"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
dpkg-deb -f "$deb" Package Version Depends

echo "== apt-get install $(basename "$deb")"
chmod 755 "$work" "$work/deb"
chmod 644 "$deb"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get could not install the package"; }
installed=1
[ "$(command -v soundgen)" = /usr/bin/soundgen ] || fail "soundgen is not on the PATH as /usr/bin/soundgen"
entry=/usr/share/applications/$id.desktop
[ -f "$entry" ] || fail "no menu entry at $entry"
[ -f /usr/share/icons/hicolor/48x48/apps/$id.png ] || fail "no 48x48 icon in the hicolor theme"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
echo "menu entry runs: $exec_line"

echo "== start from the menu entry's command"
for n in $(seq 150 190); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -m 700 "$work/runtime"
# A clean environment and a folder with no project files in it.
(cd / && exec env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/runtime" DISPLAY=":$n" \
  SDL_AUDIODRIVER=dummy $exec_line >"$work/out" 2>"$work/err") &
app=$!
shown=""
for _ in $(seq 150); do
  kill -0 "$app" 2>/dev/null || { cat "$work/err" >&2; fail "the installed program exited at start"; }
  shown=$(DISPLAY=":$n" xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n1 || true)
  [ -n "$shown" ] && break
  sleep 0.2
done
[ -n "$shown" ] || { cat "$work/err" >&2; fail "the installed program showed no window"; }
geometry=$(DISPLAY=":$n" xdotool getwindowgeometry "$shown" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "275x650" ] || fail "main window is $geometry, expected 275x650"
pkill -TERM -P "$app" 2>/dev/null || true
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
man -w soundgen >/dev/null 2>&1 || echo "note: man -w found no page (is man-db installed?)"
echo "installed package works: /usr/bin/soundgen showed its 275x650 window from the menu entry's command"
