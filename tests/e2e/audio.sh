# Shell helpers for end-to-end checks that need a sound server. Source this file, then:
#
#   e2e_init                  temp dir in $E2E_TMP, everything started here is stopped on exit
#   pulse_start               private PulseAudio daemon with one null sink; exports PULSE_SERVER,
#                             XDG_RUNTIME_DIR and PULSE_CLIENTCONFIG for the programs started after it;
#                             with PULSE_LOG_LEVEL=debug its log ($PULSE_LOG) notes every underrun,
#                             timed from PULSE_STARTED_AT (wall-clock seconds)
#   pulse_record_start FILE   records the null sink's monitor: raw s16le, 48000/s, stereo
#   pulse_record_stop         ends the recording (waits until FILE is complete)
#   e2e_track_pid PID         stop PID on exit too (for example an Xvfb)
#   e2e_check_stderr FILE WHO fails when a program's standard error says it found no audio device
#                             or carries a sanitizer report
#
# Works as root (the daemon then warns but runs) and as an ordinary user; never touches the
# user's own sound server: the daemon and its clients only see the private socket.

E2E_PIDS=()
E2E_TMP=""
PULSE_PID=""
PULSE_RECORD_PID=""
PULSE_SINK=e2e_sink
PULSE_RECORD_RATE=48000
PULSE_LOG=""
PULSE_STARTED_AT=""

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_skip() {
  echo "SKIP: $*" >&2
  exit 77
}

e2e_track_pid() {
  E2E_PIDS+=("$1")
}

e2e_check_stderr() {
  if grep -q "no audio device" "$1"; then
    cat "$1" >&2
    e2e_fail "$2 found no audio device on the private sound server"
  fi
  if grep -qE "AddressSanitizer|ThreadSanitizer|runtime error:" "$1"; then
    cat "$1" >&2
    e2e_fail "$2 reported a sanitizer error"
  fi
}

e2e_cleanup() {
  local pid
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${E2E_PIDS[i]}
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      kill -9 "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  done
  E2E_PIDS=()
  if [ -n "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ]; then
    rm -rf "$E2E_TMP"
  elif [ -n "$E2E_TMP" ]; then
    echo "kept $E2E_TMP" >&2
  fi
}

e2e_init() {
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/soundgen-e2e.XXXXXX")
  trap e2e_cleanup EXIT
  trap 'exit 1' INT TERM
}

pulse_start() {
  command -v pulseaudio >/dev/null || e2e_skip "pulseaudio is not installed (scripts/setup.sh installs it)"
  command -v parec >/dev/null || e2e_skip "parec is not installed (package pulseaudio-utils)"
  [ -n "$E2E_TMP" ] || e2e_init

  local dir=$E2E_TMP/pulse
  mkdir -p "$dir/run" "$dir/home" "$dir/config"
  chmod 700 "$dir/run"
  cat >"$dir/server.pa" <<EOF
load-module module-null-sink sink_name=$PULSE_SINK rate=$PULSE_RECORD_RATE format=s16le channels=2 channel_map=front-left,front-right norewinds=1
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/run/native
set-default-sink $PULSE_SINK
EOF
  echo "autospawn = no" >"$dir/client.conf"

  local logging=()
  [ -n "${PULSE_LOG_LEVEL:-}" ] && logging=(--log-level="$PULSE_LOG_LEVEL" --log-time=1)
  PULSE_LOG=$dir/daemon.log
  PULSE_STARTED_AT=$(date +%s.%N)
  # The daemon gets its own home and runtime dir, so nothing of the user's set-up is read.
  HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/run \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    "${logging[@]}" --log-target=file:"$PULSE_LOG" -F "$dir/server.pa" >/dev/null 2>&1 &
  PULSE_PID=$!
  e2e_track_pid "$PULSE_PID"

  export XDG_RUNTIME_DIR=$dir/run
  export PULSE_SERVER=unix:$dir/run/native
  export PULSE_CLIENTCONFIG=$dir/client.conf

  for _ in $(seq 100); do
    if pactl info >/dev/null 2>&1 && pactl list short sinks 2>/dev/null | grep -q "$PULSE_SINK"; then
      # Anonymous access needs no cookie, but clients complain when they find none.
      [ -f "$dir/config/pulse/cookie" ] && export PULSE_COOKIE=$dir/config/pulse/cookie
      return 0
    fi
    kill -0 "$PULSE_PID" 2>/dev/null || break
    sleep 0.1
  done
  cat "$dir/daemon.log" >&2 2>/dev/null || true
  e2e_fail "the private PulseAudio daemon did not come up"
}

pulse_record_start() {
  parec -d "$PULSE_SINK.monitor" --format=s16le --rate=$PULSE_RECORD_RATE --channels=2 --raw \
    --latency-msec=20 >"$1" &
  PULSE_RECORD_PID=$!
  e2e_track_pid "$PULSE_RECORD_PID"
  # The stream is live once the server lists it.
  for _ in $(seq 50); do
    if pactl list short source-outputs 2>/dev/null | grep -q .; then
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "parec did not connect to the sound server"
}

pulse_record_stop() {
  [ -n "$PULSE_RECORD_PID" ] || return 0
  kill -INT "$PULSE_RECORD_PID" 2>/dev/null || true
  wait "$PULSE_RECORD_PID" 2>/dev/null || true
  PULSE_RECORD_PID=""
}
