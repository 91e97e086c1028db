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

root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
installed=0
cleanup() {
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
mkdir -m 700 "$work/runtime"
# A clean environment and a folder with no project files in it.
(PYTHONPATH="$root" python3 -m harness.window_check --size 275x650 --cwd / --clean-env --set HOME="$work" \
  --set XDG_RUNTIME_DIR="$work/runtime" -- $exec_line) || fail "the installed program did not show its window"
man -w soundgen >/dev/null 2>&1 || echo "note: man -w found no page (is man-db installed?)"
echo "installed package works: /usr/bin/soundgen showed its 275x650 window from the menu entry's command"
