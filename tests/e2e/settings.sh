#!/usr/bin/env bash
# The configuration file at start-up and the tray's Settings command in a running vantro.exe
# under Wine. An invalid file is logged and the defaults run (also one whose keys nest tables
# too deep for the TOML parser); a valid one is loaded. Then the settings window opens,
# saves into %APPDATA%\vantro\config.toml with the "Settings saved" box (also over an invalid
# file), closes without saving on Cancel, and a "--close" that arrives while it is open still
# ends the program with code 0.
# Last, a copy of the program in a folder with spaces registers itself to start at login.
# The menu choice is made by posting the Settings item's command to the tray's window (the
# tray's items are numbered from 1000 in menu order, so Settings... is 1003 in a fresh process).
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
PROBE=$PWD/build/windows/tests/support/vantro_e2e_probe.exe
WORK=$(mktemp -d "$PWD/build/e2e-settings.XXXXXX")
trap 'rm -rf "$WORK"; e2e_session_end' EXIT
mkdir -p "$WORK/appdata" "$WORK/local"
e2e_windows_path EXE_W "$EXE" APPDATA_W "$WORK/appdata" LOCAL_W "$WORK/local" ||
  { echo "FAIL: no Windows paths for the program's runs"; exit 1; }
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
# Starts build/windows/vantro.exe, or with a Windows folder the vantro.exe in it (run from there
# by name: cmd takes no quoted program path after the "set" commands).
start_instance() {
  local run=$EXE_W
  [[ -n ${1:-} ]] && run="cd /d $1&& vantro.exe"
  wine cmd /c "set APPDATA=${APPDATA_W}&& set LOCALAPPDATA=${LOCAL_W}&& set NO_COLOR=1&& ${run}" \
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
  e2e_log_whereabouts "$WORK/run-out" "$WORK/local"
fi

# 1b. Keys that nest tables too deep for the TOML parser (it would overflow the stack) are
#     refused the same way: one of 30,000 dotted parts, and keys of 256 parts in inline tables
#     nested 254 deep. $1: what the file holds, $2: the file, $3: where the report points,
#     $4: its reason; more arguments: lines the report also holds.
start_with_refused_file() {
  local what=$1 text=$2 where=$3 reason=$4 line
  shift 4
  printf '%s' "$text" >"$CONFIG"
  invalid=$(md5sum <"$CONFIG")
  start_instance
  local started=0 found=1
  grep -qF "vantro 0.3.0 is running." "$WORK/run-out" && started=1
  close_instance
  for line in "$@"; do grep -qxF -- "$line" "$LOG" || found=0; done
  if ((started && found)) &&
    grep -qF "WARN config file is invalid, using defaults error=TOML parse error at $where" "$LOG" &&
    grep -qxF "$reason" "$LOG" && grep -qF "Pick element : Ctrl+Shift+Space" "$WORK/run-out" &&
    [[ $(md5sum <"$CONFIG") == "$invalid" ]]; then
    echo "ok: start with $what: the report is logged, the defaults run, the file is kept"
  else
    fail "start with $what"
    head -c 2000 "$WORK/run-out" "$WORK/run-err"
    grep -vE '^[0-9]+ \| a\.a\.' "$LOG" | tail -n 20 | cut -c1-200
    e2e_log_whereabouts "$WORK/run-out" "$WORK/local"
  fi
}
deep_key=$(printf 'a.%.0s' $(seq 1 29999))a
start_with_refused_file "a key of 30,000 dotted parts" \
  "$(printf '[hotkeys]\npick_element = "Alt+Q"\n%s = 1\n' "$deep_key")" "line 3, column 513" \
  'a key may have at most 256 dot-separated parts' "3 | $deep_key = 1" "  | $(printf '%512s' '')^"
key256=$(printf 'a.%.0s' $(seq 1 255))a
nested=
for _ in $(seq 1 254); do nested+="{$key256 = "; done
start_with_refused_file "keys of 256 parts in inline tables nested 254 deep" \
  "$(printf '[%s]\n%s = %s1%s\n' "$key256" "$key256" "$nested" "$(printf '}%.0s' $(seq 1 254))")" \
  "line 2, column 1031" "tables may nest at most 1024 levels deep, counting the parts of this key, of the keys \
of the inline tables and arrays around it, and twice those of its table header"

# 2. A valid file is loaded: the banner shows its chord.
printf '[hotkeys]\npick_element = "Alt+Q"\n' >"$CONFIG"
start_instance
close_instance
if grep -qF "INFO loaded config from disk" "$LOG" && grep -qF "Pick element : Alt+Q" "$WORK/run-out"; then
  echo "ok: a valid file is loaded at start-up"
else
  fail "start with a valid file"
  cat "$WORK/run-out"
  e2e_log_whereabouts "$WORK/run-out" "$WORK/local"
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

# 4b. Save while the file on disk is invalid: the fields the window does not show come from the
#     start-up record (not the file's "#123456") and the file is replaced by the saved entries.
#     A file with a key of 30,000 dotted parts takes that path as an ordinary invalid file.
save_over() {
  open_settings
  probe set-text VantroSettingsWindow 1003 zxcvb >/dev/null
  printf '%s' "$1" >"$CONFIG"
  probe post-command VantroSettingsWindow 1100 5000 >/dev/null
  box=$(probe close-box "Settings saved" 10000)
  probe wait-gone VantroSettingsWindow 10000 | grep -q '^gone' || fail "settings window still open after Save"
}
save_over $'[colors.element]\nbadge_fg = "#123456"\nopacity = 300\n'
ordinary_box=$box
ordinary=$(cat "$CONFIG")
save_over "$(printf '[colors.element]\nbadge_fg = "#123456"\n%s = 1\n' "$deep_key")"
saved_text="box text=Restart vantro to apply hotkey, alphabet, and color changes."
if [[ $ordinary_box == "$saved_text" ]] && grep -qx 'alphabet = "zxcvb"' <<<"$ordinary" &&
  grep -qx 'badge_fg = ""' <<<"$ordinary" && ! grep -qF '#123456' <<<"$ordinary"; then
  echo "ok: Save over an invalid file writes the entries and the start-up record"
else
  fail "Save over an invalid file: $ordinary_box"
  echo "$ordinary"
fi
if [[ $box == "$saved_text" && $(cat "$CONFIG") == "$ordinary" ]] && kill -0 "$instance" 2>/dev/null; then
  echo "ok: Save over a file with a key of 30,000 dotted parts does the same"
else
  fail "Save over a file with a key of 30,000 dotted parts: $box"
  head -c 300 "$CONFIG"
  echo
fi

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

# 6. Start at login through the real Run key of this prefix, from a folder with spaces: a copy
#    of vantro.exe there, the checkbox ticked, Save. The value "vantro" holds the copy's path in
#    quotes, and that text, started as the shell starts a Run entry, is the program: unquoted it
#    would start the "start.exe" planted beside the folder. The value is removed afterwards.
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
start_at_login_from_a_folder_with_spaces() {
  local dir="$WORK/start at login"
  mkdir -p "$dir"
  cp "$EXE" "$dir/vantro.exe"
  cp "$PROBE" "$WORK/start.exe"
  local copy_w dir_w
  e2e_windows_path copy_w "$dir/vantro.exe" dir_w "$dir" ||
    { fail "no Windows paths for the copy in a folder with spaces"; return; }
  wine reg delete "$RUN_KEY" /v vantro /f >/dev/null 2>&1
  rm -f "$CONFIG"
  start_instance "$dir_w"
  open_settings
  local ticked box
  ticked=$(probe click VantroSettingsWindow 1006)
  [[ $ticked == "checked=1" ]] || fail "start-at-login checkbox after a click: $ticked"
  probe post-command VantroSettingsWindow 1100 5000 >/dev/null
  box=$(probe close-box "Settings saved" 10000)
  [[ $box == "box text=Restart vantro to apply hotkey, alphabet, and color changes." ]] || fail "saved box: $box"
  close_instance

  local value started
  value=$(wine reg query "$RUN_KEY" /v vantro 2>/dev/null | tr -d '\r' | sed -n 's/^ *vantro *REG_SZ *//p')
  if [[ $value == "\"$copy_w\"" ]]; then
    echo "ok: Save with the checkbox ticked writes the quoted path of the program to the Run value"
  else
    fail "Run value vantro: '$value', expected the quoted path of $copy_w"
  fi
  started=$(probe run "$value --version" 30000)
  if [[ $started == $'vantro 0.3.0\nexit=0' ]]; then
    echo "ok: the Run value's text starts the program"
  else
    fail "running the Run value's text with --version: $started"
  fi
  wine reg delete "$RUN_KEY" /v vantro /f >/dev/null 2>&1
  if wine reg query "$RUN_KEY" /v vantro >/dev/null 2>&1; then fail "the Run value vantro is still there"; fi
}
start_at_login_from_a_folder_with_spaces

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "all settings checks passed"
