#!/usr/bin/env bash
# The command line of vantro.exe under Wine: texts, streams and exit codes of every task, and
# a normal run that a second instance and "--close" talk to.
# Windows-side variables are set through cmd ("set X=...&& vantro.exe"): Wine sets
# LOCALAPPDATA itself, whatever the Linux environment holds.
# Run by scripts/test inside its prepared Wine environment (DISPLAY and WINEPREFIX exported);
# run on its own it prepares a session of its own.
set -uo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=lib/instance.sh
source tests/e2e/lib/instance.sh
# shellcheck source=lib/suite.sh
source tests/e2e/lib/suite.sh
e2e_session
EXE=$PWD/build/windows/vantro.exe
WORK=$(mktemp -d "$PWD/build/e2e-command-line.XXXXXX")
trap 'rm -rf "$WORK"; e2e_session_end' EXIT
LOCAL=$WORK/local
e2e_windows_path EXE_W "$EXE" LOCAL_W "$LOCAL" || { echo "FAIL: no Windows paths for the program's runs"; exit 1; }
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check NAME RC OUT ERR -- COMMAND...: runs COMMAND and compares exit code, stdout and stderr
# byte for byte (OUT and ERR are printf formats without arguments).
check() {
  local name=$1 rc=$2 out=$3 err=$4
  shift 5
  timeout 60 "$@" >"$WORK/out" 2>"$WORK/err"
  local got=$?
  printf "$out" >"$WORK/want-out"
  printf "$err" >"$WORK/want-err"
  [[ $got == "$rc" ]] || fail "$name: exit code $got, expected $rc"
  cmp -s "$WORK/out" "$WORK/want-out" || { fail "$name: stdout differs"; diff "$WORK/want-out" "$WORK/out" | head -20; }
  cmp -s "$WORK/err" "$WORK/want-err" || { fail "$name: stderr differs"; diff "$WORK/want-err" "$WORK/err" | head -20; }
  [[ $got == "$rc" ]] && cmp -s "$WORK/out" "$WORK/want-out" && cmp -s "$WORK/err" "$WORK/want-err" && echo "ok: $name"
}


help_text() {
  cat <<'TEXT'
vantro 0.3.0 — system-wide keyboard navigation overlay

USAGE:
    vantro [FLAGS]

FLAGS:
    -h, --help        Print help and exit
    -V, --version     Print version and exit
        --no-tray     Run without the system tray icon (hotkeys-only mode)
        --close       Cleanly shut down a running vantro instance and exit
                      (alias: --quit)
        --clear-logs  Delete the on-disk log files and exit

DEFAULT HOTKEYS:
    Ctrl+Shift+Space  Pick element in foreground window
    Ctrl+Alt+Space    Pick top-level window across all monitors
    Esc               Cancel an open overlay

LOGS (release builds):
    Location:         %LOCALAPPDATA%\vantro\vantro.log[.YYYY-MM-DD]
    Rotation:         daily, keeping the 7 most recent files
    Manual purge:     vantro --clear-logs

ENVIRONMENT:
    RUST_LOG          Tracing filter, e.g. `vantro=debug` (default: info)

PROJECT:
    Repository:       https://github.com/vantro-app/vantro
TEXT
}

# --- Printing arguments
help_text >"$WORK/help"
timeout 60 wine "$EXE" --help >"$WORK/help-out" 2>"$WORK/help-err"
rc=$?
if [[ $rc == 0 ]] && cmp -s "$WORK/help" "$WORK/help-out" && [[ ! -s $WORK/help-err ]]; then
  echo "ok: --help prints the help text exactly"
else
  fail "--help (rc $rc)"
  diff "$WORK/help" "$WORK/help-out" | head -20
fi
check "-V" 0 'vantro 0.3.0\n' '' -- wine "$EXE" -V
check "--no-tray then --version" 0 'vantro 0.3.0\n' '' -- wine "$EXE" --no-tray --version
check "unknown argument before --help" 2 '' \
  "vantro: unknown argument: -v\nTry 'vantro --help' for a list of options.\n" -- wine "$EXE" -v --help
check "empty argument" 2 '' "vantro: unknown argument: \nTry 'vantro --help' for a list of options.\n" \
  -- wine "$EXE" ""

# --- --close without an instance
check "--close with no instance" 0 'vantro: no running instance found.\n' '' -- wine "$EXE" --close
check "--quit with no instance" 0 'vantro: no running instance found.\n' '' -- wine "$EXE" --quit

# --- --clear-logs
mkdir -p "$LOCAL/vantro/vantro-dir"
touch "$LOCAL/vantro/vantro.2026-01-01.log" "$LOCAL/vantro/vantro" "$LOCAL/vantro/Vantro.log" \
  "$LOCAL/vantro/xvantro.log"
timeout 60 wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& ${EXE_W} --clear-logs" >"$WORK/out" 2>"$WORK/err"
rc=$?
dir_w="${LOCAL_W}\\vantro"
if [[ $rc == 1 ]] &&
  grep -qxF "vantro: removed 2 log file(s) from ${dir_w}." "$WORK/out" &&
  grep -qF "vantro: could not delete ${dir_w}\\vantro-dir: " "$WORK/err" &&
  [[ $(tail -n1 "$WORK/err") == 'vantro: 1 file(s) could not be deleted (is vantro still running? Run `vantro --close` first).' ]] &&
  [[ $(wc -l <"$WORK/err") == 2 ]] &&
  [[ $(cd "$LOCAL/vantro" && ls | sort | tr '\n' ' ') == "Vantro.log vantro-dir xvantro.log " ]]; then
  echo "ok: --clear-logs deletes the vantro entries and reports the subdirectory"
else
  fail "--clear-logs (rc $rc)"
  cat "$WORK/out" "$WORK/err"
  ls "$LOCAL/vantro"
fi
rmdir "$LOCAL/vantro/vantro-dir"
check "--clear-logs with nothing left to delete" 0 "vantro: removed 0 log file(s) from ${dir_w//\\/\\\\}.\n" '' \
  -- wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& ${EXE_W} --clear-logs"
rm -rf "$LOCAL/vantro"
check "--clear-logs without the directory" 0 'vantro: log directory does not exist; nothing to clear.\n' '' \
  -- wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& ${EXE_W} --clear-logs"
check "--clear-logs without LOCALAPPDATA" 1 '' 'vantro: %%LOCALAPPDATA%% is not set; nothing to clear.\n' \
  -- wine cmd /c "set LOCALAPPDATA=&& ${EXE_W} --clear-logs"
check "--close wins over --clear-logs" 0 'vantro: no running instance found.\n' '' \
  -- wine cmd /c "set LOCALAPPDATA=&& ${EXE_W} --clear-logs --close"

# --- A normal run, a second instance and --close
today=$(date -u +%Y-%m-%d)
log_file="$LOCAL/vantro/vantro.$today.log"
# start_instance ARGS [VAR=VALUE...]: a normal run in the background, without NO_COLOR unless
# given. Variables go through the Linux environment, which Wine hands on to the Windows side
# with empty values kept (cmd's "set X=" would remove X instead).
start_instance() {
  env -u NO_COLOR "${@:2}" wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& set RUST_LOG=vantro=debug&& ${EXE_W} $1" \
    >"$WORK/run-out" 2>"$WORK/run-err" &
  instance=$!
}
timestamp='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{6}Z'
starting_line="^${timestamp}  INFO vantro starting version=0\\.3\\.0\$"
coloured_starting_line=$'^\e\\[2m'"${timestamp}"$'\e\\[0m \e\\[32m INFO\e\\[0m vantro starting \e\\[3mversion\e\\[0m\e\\[2m=\e\\[0m0\\.3\\.0$'

if [[ $(env NO_COLOR= wine cmd /c "set NO_COLOR" 2>/dev/null | tr -d '\r') == "NO_COLOR=" ]]; then
  echo "ok: an empty NO_COLOR reaches the Windows side as set and empty"
else
  fail "an empty NO_COLOR does not reach the Windows side: the runs below would not test it"
fi

if [[ ! -f $PWD/build/windows/tests/support/uia_standin.dll ]]; then
  # Wine has no UI Automation server: the client cannot be created, so start-up takes the
  # error exit, having released the close-request window and the mutex.
  for run in first second; do
    if [[ $run == first ]]; then start_instance ""; else start_instance "" NO_COLOR=; fi
    wait_instance
    if [[ $rc == 1 ]] && [[ ! -s $WORK/run-out ]] && [[ ! -s $WORK/run-err ]]; then
      echo "ok: $run start without a UI Automation server exits 1 (not as a second instance)"
    else
      fail "$run start without a UI Automation server: $rc"
      cat "$WORK/run-out" "$WORK/run-err"
    fi
  done
  if [[ $(grep -cE "$starting_line" "$log_file") == 2 ]] &&
    [[ $(grep -c "ERROR vantro exited with error error=initializing UI Automation client" "$log_file") == 2 ]] &&
    ! grep -q $'\e' "$log_file"; then
    echo "ok: the day's log file holds both runs and their error exits, in plain lines"
  else
    fail "log file $log_file"
    cat -A "$log_file" 2>/dev/null | head -20
    e2e_log_whereabouts "$WORK/run-out" "$LOCAL"
  fi
else
  start_instance ""
  for _ in $(seq 1 200); do
    grep -qs "vantro 0.3.0 is running." "$WORK/run-out" && break
    sleep 0.1
  done
  # The arrow as its UTF-8 bytes: bash turns \u escapes into UTF-8 only under a UTF-8 locale.
  banner=$'vantro 0.3.0 is running.\n  Pick element : Ctrl+Shift+Space\n  Pick window  : Ctrl+Alt+Space\n  Cancel       : Esc (inside overlay)\n  Quit         : Tray menu \xe2\x86\x92 Quit, or `vantro --close`\n\nSwitch focus to any app, then press a leader.'
  if [[ $(cat "$WORK/run-out") == "$banner" ]]; then
    echo "ok: a normal run prints the banner"
  else
    fail "normal run banner"
    cat "$WORK/run-out" "$WORK/run-err" "$log_file" 2>/dev/null
  fi
  check "second instance" 0 '' \
    'vantro is already running in this session.\nUse the existing tray icon, the `--close` flag, or quit it first.\n' \
    -- env NO_COLOR= wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& ${EXE_W}"

  # Without a usable log directory the lines go to standard output, coloured unless NO_COLOR
  # is set and not empty. Each run is a second instance: its one line is "vantro starting".
  mkdir -p "$WORK/blocked"
  touch "$WORK/blocked/vantro"  # a file where the log directory should be
  e2e_windows_path blocked_w "$WORK/blocked" || fail "no Windows path for the unusable log folder"
  fallback_cases=(
    "LOCALAPPDATA unset, NO_COLOR unset|set LOCALAPPDATA=|-u NO_COLOR|coloured"
    "LOCALAPPDATA unusable, NO_COLOR empty|set LOCALAPPDATA=${blocked_w}|NO_COLOR=|coloured"
    "LOCALAPPDATA unset, NO_COLOR=1|set LOCALAPPDATA=|NO_COLOR=1|plain"
  )
  for fallback in "${fallback_cases[@]}"; do
    IFS='|' read -r name local_setting no_color form <<<"$fallback"
    # shellcheck disable=SC2086 # $no_color is one env argument, or an option and its operand
    timeout 60 env -u RUST_LOG $no_color wine cmd /c "${local_setting}&& ${EXE_W}" >"$WORK/out" 2>"$WORK/err"
    rc=$?
    if [[ $form == coloured ]]; then want=$coloured_starting_line; else want=$starting_line; fi
    if [[ $rc == 0 ]] && [[ $(wc -l <"$WORK/out") == 1 ]] && grep -qE "$want" "$WORK/out" &&
      [[ $(cat "$WORK/err") == $'vantro is already running in this session.\nUse the existing tray icon, the `--close` flag, or quit it first.' ]] &&
      [[ ! -e $WORK/blocked/vantro.$today.log ]]; then
      echo "ok: $name: the line goes to standard output, $form"
    else
      fail "$name: rc $rc"
      cat -A "$WORK/out" "$WORK/err"
    fi
  done
  check "--close with a running instance" 0 'vantro: shutdown signal sent.\n' '' -- wine "$EXE" --close
  wait_instance
  if [[ $rc == 0 ]]; then
    echo "ok: the running instance exits 0 after --close"
  else
    fail "running instance after --close: $rc"
  fi
  if [[ $(grep -cE "$starting_line" "$log_file") == 2 ]] &&
    grep -qF "IPC: WM_CLOSE received — shutting down" "$log_file" &&
    ! grep -q "vantro exited with error" "$log_file" && ! grep -q $'\r' "$log_file" &&
    ! grep -q $'\e' "$log_file"; then
    echo "ok: the day's log file holds both runs in plain lines, without NO_COLOR and with it empty"
  else
    fail "log file $log_file"
    cat -A "$log_file" 2>/dev/null | head -20
    e2e_log_whereabouts "$WORK/run-out" "$LOCAL"
  fi
  check "--close after the instance ended" 0 'vantro: no running instance found.\n' '' -- wine "$EXE" --close
fi

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
