# Helpers for driving vantro.exe and the sample application inside the Wine session
# (sourced by tests/e2e/pick_actions.sh, tests/e2e/close_requests.sh and
# bench/overlay_latency.sh).
#
# Every wait polls a condition with a bounded time-out and says what it waited for when it
# gives up. Processes are stopped by their own PIDs or by "vantro.exe --close", never by name.

E2E_ROOT=${E2E_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
E2E_EXE=$E2E_ROOT/build/windows/vantro.exe
E2E_SUPPORT=$E2E_ROOT/build/windows/tests/support
E2E_SAMPLE=$E2E_SUPPORT/vantro_sample_app.exe
E2E_PROBE=$E2E_SUPPORT/vantro_e2e_probe.exe
E2E_FAILURES=0
E2E_BACKGROUND=()
# shellcheck source=suite.sh
source "$E2E_ROOT/tests/e2e/lib/suite.sh"

# A fresh folder for this run's artefacts under build/e2e.
e2e_workdir() {
  local name=$1
  E2E_WORK=$E2E_ROOT/build/e2e/$name
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK"
}

e2e_ok() { echo "$(date +%T.%3N) ok: $*"; }
e2e_fail() {
  echo "$(date +%T.%3N) FAIL: $*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
}
e2e_note() { echo "note: $*"; }
# e2e_log_fail MESSAGE: a failed check of the log of the instance started last, with where its
# lines went.
e2e_log_fail() {
  e2e_fail "$*"
  e2e_log_whereabouts "$VANTRO_OUT" "$VANTRO_LOCAL"
}

# wait_for DESCRIPTION SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds.
wait_for() {
  local what=$1 seconds=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while ! "$@" >/dev/null 2>&1; do
    if ((SECONDS >= deadline)); then
      echo "timed out after ${seconds}s waiting for: $what"
      return 1
    fi
    sleep 0.05
  done
}

probe() { timeout 60 wine "$E2E_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# Keys on the Xvfb display. With no window manager the X focus follows the pointer, so a chord
# goes to the Wine desktop under the pointer; the overlay has an X window of its own, which
# gets the focus before keys are typed into it.
# A modifier left down by an earlier test would change the chord: all are released first.
press() {
  xdotool keyup ctrl shift alt super
  xdotool mousemove 640 400 && xdotool key --clearmodifiers --delay 30 "$@"
}
# Gives the open overlay the X focus, which a user's overlay has from the moment it opens.
focus_overlay() {
  xdotool search --onlyvisible --name "^Vantro Overlay\$" windowfocus --sync >/dev/null 2>&1
}
type_to_overlay() {
  focus_overlay
  xdotool key --delay 50 "$@"
}

now_ms() { date +%s%3N; }

# --- vantro.exe, with its own APPDATA and LOCALAPPDATA --------------------------------------

# start_vantro NAME [CONFIG_TOML] [ARGS...]: starts the normal run; sets VANTRO_OUT, VANTRO_PID,
# VANTRO_LOCAL. Returns 1 when the banner does not appear, or without starting it when a folder
# has no Windows path.
start_vantro() {
  local name=$1 config=${2:-}
  shift 2 || shift $#
  local dir=$E2E_WORK/$name
  mkdir -p "$dir/appdata/vantro" "$dir/local"
  [[ -n $config ]] && printf '%s\n' "$config" >"$dir/appdata/vantro/config.toml"
  VANTRO_OUT=$dir/stdout
  VANTRO_LOCAL=$dir/local
  local appdata_w local_w exe_w
  if ! e2e_windows_path appdata_w "$dir/appdata" local_w "$dir/local" exe_w "$E2E_EXE"; then
    echo "start_vantro $name: vantro.exe not started, it would run without its own folders"
    return 1
  fi
  wine cmd /c "set APPDATA=$appdata_w&& set LOCALAPPDATA=$local_w&& set NO_COLOR=1&& set RUST_LOG=${E2E_RUST_LOG:-info}&& $exe_w $*" \
    >"$VANTRO_OUT" 2>"$dir/stderr" </dev/null &
  VANTRO_PID=$!
  E2E_BACKGROUND+=("$VANTRO_PID")
  wait_for "the banner of vantro.exe ($name)" 30 grep -q "vantro 0.3.0 is running." "$VANTRO_OUT"
}

# The text of the run's log files.
program_log() { cat "$VANTRO_LOCAL"/vantro/vantro* 2>/dev/null | tr -d '\r'; }
log_has() { program_log | grep -qF -- "$1"; }
# log_line MESSAGE: the last log line holding MESSAGE.
log_line() { program_log | grep -F -- "$1" | tail -1; }

# wait_vantro_exit SECONDS: waits for the instance started last to end; its exit code lands
# in VANTRO_RC ("timeout" when it still runs).
wait_vantro_exit() {
  VANTRO_RC=timeout
  wait_for "vantro.exe (pid $VANTRO_PID) to exit" "$1" eval '! kill -0 "$VANTRO_PID"' || return 1
  wait "$VANTRO_PID"
  VANTRO_RC=$?
}

# stop_vantro: "vantro.exe --close", then the process's exit code in VANTRO_RC.
stop_vantro() {
  local close_rc=0
  timeout 60 wine "$E2E_EXE" --close >"$E2E_WORK/close.out" 2>&1 || close_rc=$?
  CLOSE_RC=$close_rc
  if ! wait_vantro_exit 30; then
    kill "$VANTRO_PID" 2>/dev/null
    return 1
  fi
}

# --- the sample application -----------------------------------------------------------------

# start_sample NAME TITLE [ARGS...]: sets SAMPLE_HWND and SAMPLE_PID_<NAME>.
start_sample() {
  local name=$1 title=$2
  shift 2
  local out=$E2E_WORK/sample-$name.out
  wine "$E2E_SAMPLE" --title "$title" "$@" >"$out" 2>&1 </dev/null &
  local pid=$!
  E2E_BACKGROUND+=("$pid")
  printf -v "SAMPLE_PID_$name" '%s' "$pid"
  wait_for "the sample application \"$title\" to report its window" 30 grep -q "ready hwnd=" "$out" || return 1
  SAMPLE_HWND=$(grep -m1 -o 'ready hwnd=0x[0-9a-f]*' "$out" | cut -d= -f2)
}

sample_has() { grep -qF -- "$2" "$E2E_WORK/sample-$1.out"; }

# stop_sample NAME: closes it through its window.
stop_sample() {
  local var="SAMPLE_PID_$1"
  local pid=${!var:-}
  [[ -n $pid ]] || return 0
  probe close-title "$2" >/dev/null 2>&1 || true
  local deadline=$((SECONDS + 10))
  while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.05; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Ends what this run started, by PID, when the run stops early.
e2e_cleanup() {
  local pid
  for pid in "${E2E_BACKGROUND[@]}"; do
    kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
  done
  return 0
}

# label_for INDEX COUNT [ALPHABET]: the hint label of target INDEX among COUNT targets: one
# character while the alphabet suffices, else the fewest characters that give COUNT labels,
# counting in the alphabet's base with the first character as zero.
label_for() {
  local index=$1 count=$2 alphabet=${3:-asdfghjkl}
  local base=${#alphabet} length=1 capacity=${#alphabet}
  if ((count > base)); then
    length=2
    capacity=$((base * base))
    while ((capacity < count)); do
      length=$((length + 1))
      capacity=$((capacity * base))
    done
  fi
  local label="" i
  for ((i = 0; i < length; i++)); do
    label=${alphabet:index % base:1}$label
    index=$((index / base))
  done
  printf '%s' "$label"
}

# Counts the pixels of colour HEX (#RRGGBB) in the region WxH+X+Y of a screenshot.
count_colour() {
  local image=$1 region=$2 hex=$3
  convert "$image" -crop "$region" +repage txt:- 2>/dev/null | grep -ci -- "$hex" || true
}
