# Shell helpers for driving the program on a private virtual display. Source after audio.sh:
#
#   display_start                 Xvfb on a free display number; exports DISPLAY; stopped on exit
#                                 (screen size from E2E_SCREEN, 1024x768x24 unless set)
#   window_wait TITLE [PID]       prints the id of the visible window named TITLE (waits up to 20 s,
#                                 or until process PID has ended)
#   program_start DRIVER          starts $program on a fresh display with SDL_AUDIODRIVER=DRIVER and
#                                 waits for its main window; sets program_pid and window
#   expect_size WIN W H STATE     fails unless the X server reports the window W x H
#   click_at WIN X Y              left click at window coordinates
#   screenshot WIN FILE           PNG of the window as the X server shows it
#   expect_pixel PNG X Y #RRGGBB WHAT  fails unless the pixel has that colour
#   expect_colour_count PNG X Y W H #RRGGBB MIN WHAT  fails unless the W x H area at (X, Y) has
#                                 at least MIN pixels of that colour

display_start() {
  command -v Xvfb >/dev/null || e2e_skip "Xvfb is not installed (scripts/setup.sh installs it)"
  command -v xdotool >/dev/null || e2e_skip "xdotool is not installed (scripts/setup.sh installs it)"
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  # Without -noreset the server resets whenever its last client leaves (every xdotool call), and
  # a program connecting during the reset is refused.
  Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
  e2e_track_pid $!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xwininfo -root >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  cat "$E2E_TMP/xvfb.log" >&2
  e2e_fail "Xvfb did not come up on :$n"
}

program_start() {
  local attempt
  # A virtual display that refuses the program's connection is trouble of the test machine, not
  # of the program: a fresh display is tried once.
  for attempt in 1 2; do
    display_start
    SDL_AUDIODRIVER=$1 "$program" >"$E2E_TMP/soundgen.out" 2>"$E2E_TMP/soundgen.err" &
    program_pid=$!
    e2e_track_pid $program_pid
    window=$(window_wait "Звуковой генератор" $program_pid) && return 0
    cat "$E2E_TMP/soundgen.err" "$E2E_TMP/xvfb.log" >&2
    if [ $attempt = 1 ] && grep -q "could not connect to display" "$E2E_TMP/soundgen.err"; then
      echo "note: display $DISPLAY refused the program; trying a fresh one" >&2
      continue
    fi
    e2e_fail "no main window"
  done
}

window_wait() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    [ -z "${2:-}" ] || kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

expect_size() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  # The X server may take a moment to apply a resize; give it up to 3 s.
  for _ in $(seq 30); do
    eval "$(xdotool getwindowgeometry --shell "$1")"
    [ "$WIDTH" = "$2" ] && [ "$HEIGHT" = "$3" ] && break
    sleep 0.1
  done
  echo "window in state '$4': ${WIDTH}x${HEIGHT} at $X,$Y"
  [ "$WIDTH" = "$2" ] && [ "$HEIGHT" = "$3" ] || e2e_fail "window is ${WIDTH}x${HEIGHT} in state '$4', expected $2x$3"
}

click_at() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1
  sleep 0.2
}

screenshot() {
  if command -v import >/dev/null; then
    import -window "$1" "$2" 2>/dev/null || echo "note: screenshot $2 failed" >&2
  else
    xwd -id "$1" -out "${2%.png}.xwd" 2>/dev/null || echo "note: screenshot $2 failed" >&2
  fi
}

expect_pixel() {
  local found
  found=$(convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6)
  [ "#${found^^}" = "${4^^}" ] || e2e_fail "$5: pixel ($2, $3) of $(basename "$1") is #$found, expected $4"
  echo "pixel ($2, $3) is $4: $5"
}

expect_colour_count() {
  local count
  count=$(convert "$1" -crop "$4x$5+$2+$3" +repage txt:- 2>/dev/null | grep -ci " ${6}" || true)
  [ "${count:-0}" -ge "$7" ] || e2e_fail "$8: $count pixels of $6 in $4x$5 at ($2, $3) of $(basename "$1"), expected at least $7"
  echo "$count pixels of $6 in $4x$5 at ($2, $3): $8"
}
