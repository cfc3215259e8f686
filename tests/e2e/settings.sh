#!/usr/bin/env bash
# The configuration file at start-up and the tray's Settings command in a running vantro.exe
# under Wine. An invalid file is logged and the defaults run; a valid one is loaded. Then the
# settings window opens,
# saves into %APPDATA%\vantro\config.toml with the "Settings saved" box, closes without saving
# on Cancel, and a "--close" that arrives while it is open still ends the program with code 0.
# The menu choice is made by posting the Settings item's command to the tray's window (the
# tray's items are numbered from 1000 in menu order, so Settings... is 1003 in a fresh process).
# Run by scripts/test inside its prepared Wine environment (DISPLAY and WINEPREFIX exported).
set -uo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=lib/instance.sh
source tests/e2e/lib/instance.sh
EXE=$PWD/build/windows/vantro.exe
PROBE=$PWD/build/windows/tests/support/vantro_e2e_probe.exe
WORK=$(mktemp -d "$PWD/build/e2e-settings.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
EXE_W=$(winepath -w "$EXE")
mkdir -p "$WORK/appdata" "$WORK/local"
APPDATA_W=$(winepath -w "$WORK/appdata")
LOCAL_W=$(winepath -w "$WORK/local")
CONFIG=$WORK/appdata/vantro/config.toml
SETTINGS_COMMAND=1003
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
probe() { timeout 30 wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

if [[ ! -f $PWD/build/windows/tests/support/uia_standin.dll ]]; then
  echo "skip: no UI Automation server in this prefix, so the normal run cannot start"
  exit 0
fi

LOG=$WORK/local/vantro/vantro.$(date -u +%Y-%m-%d).log
start_instance() {
  wine cmd /c "set APPDATA=${APPDATA_W}&& set LOCALAPPDATA=${LOCAL_W}&& set NO_COLOR=1&& ${EXE_W}" \
    >"$WORK/run-out" 2>"$WORK/run-err" &
  instance=$!
  for _ in $(seq 1 200); do
    grep -qs "vantro 0.3.0 is running." "$WORK/run-out" && break
    sleep 0.1
  done
}
close_instance() {
  timeout 60 wine "$EXE" --close >/dev/null 2>&1
  wait_instance
  [[ $rc == 0 ]] || fail "instance after --close: $rc"
}

# 1. An invalid file: a warning with the reader's report, the defaults, the file untouched.
mkdir -p "$WORK/appdata/vantro"
printf '[hotkeys]\npick_element = "Alt+Q"\n[colors.element]\nopacity = 300\n' >"$CONFIG"
invalid=$(md5sum <"$CONFIG")
start_instance
close_instance
if grep -qF "WARN config file is invalid, using defaults error=TOML parse error at line 4, column 11" "$LOG" &&
  grep -qxF 'invalid value: integer `300`, expected u8' "$LOG" &&
  grep -qF "Pick element : Ctrl+Shift+Space" "$WORK/run-out" && [[ $(md5sum <"$CONFIG") == "$invalid" ]]; then
  echo "ok: an invalid file is logged with its report and the defaults run"
else
  fail "start with an invalid file"
  cat "$WORK/run-out" "$LOG"
fi

# 2. A valid file is loaded: the banner shows its chord.
printf '[hotkeys]\npick_element = "Alt+Q"\n' >"$CONFIG"
start_instance
close_instance
if grep -qF "INFO loaded config from disk" "$LOG" && grep -qF "Pick element : Alt+Q" "$WORK/run-out"; then
  echo "ok: a valid file is loaded at start-up"
else
  fail "start with a valid file"
  cat "$WORK/run-out"
fi

# The settings window from here on, starting without a file.
rm -f "$CONFIG"
start_instance

open_settings() {
  probe post-command tray_icon_app "$SETTINGS_COMMAND" 10000 >/dev/null || fail "no tray window"
  probe wait-window VantroSettingsWindow 10000 | grep -q '^found' || fail "settings window did not open"
}

# 3. Save an edited alphabet: the file is written and the user is told to restart.
open_settings
[[ $(probe control-text VantroSettingsWindow 1003) == "text=asdfghjkl" ]] || fail "alphabet not shown"
probe set-text VantroSettingsWindow 1003 qwerty >/dev/null
probe post-command VantroSettingsWindow 1100 5000 >/dev/null
box=$(probe close-box "Settings saved" 10000)
if [[ $box == "box text=Restart vantro to apply hotkey, alphabet, and color changes." ]]; then
  echo "ok: Save shows the \"Settings saved\" box"
else
  fail "saved box: $box"
fi
probe wait-gone VantroSettingsWindow 10000 | grep -q '^gone' || fail "settings window still open after Save"
if grep -qx 'alphabet = "qwerty"' "$CONFIG" 2>/dev/null && grep -qx '\[colors.element\]' "$CONFIG"; then
  echo "ok: the configuration file holds the saved entries"
else
  fail "config file after Save"
  cat "$CONFIG" 2>/dev/null
fi

# 4. Opened again it shows the start-up record (the running program never reloads); Cancel
#    writes nothing.
before=$(md5sum <"$CONFIG")
open_settings
[[ $(probe control-text VantroSettingsWindow 1003) == "text=asdfghjkl" ]] || fail "second opening not on the start-up record"
probe post-command VantroSettingsWindow 1101 5000 >/dev/null
probe wait-gone VantroSettingsWindow 10000 | grep -q '^gone' || fail "settings window still open after Cancel"
[[ $(md5sum <"$CONFIG") == "$before" ]] && echo "ok: Cancel closes the window and writes nothing" || fail "Cancel wrote"

# 5. "--close" while the window is open: the window goes and the program exits 0.
open_settings
timeout 60 wine "$EXE" --close >/dev/null 2>&1
wait_instance
if [[ $rc == 0 ]]; then
  echo "ok: --close while Settings is open ends the program with exit code 0"
else
  fail "running instance after --close with Settings open: $rc"
  kill "$instance" 2>/dev/null
fi

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "all settings checks passed"
