#!/usr/bin/env bash
# The global hotkeys of a running vantro.exe under Wine: both configured chords registered,
# real chords typed with xdotool reaching their actions, a chord that cannot be used reported
# in the one warning box before the banner, and a clean shutdown after "--close".
#
# Keys typed with xdotool reach Wine only while a Wine window has the X focus. The test prefix
# runs every program inside one Wine virtual desktop and there is no window manager, so the X
# focus follows the pointer: the pointer is put on the desktop before each chord.
# Run by scripts/test inside its prepared Wine environment (DISPLAY and WINEPREFIX exported);
# run on its own it prepares a session of its own.
set -uo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=lib/suite.sh
source tests/e2e/lib/suite.sh
e2e_session
EXE=$PWD/build/windows/vantro.exe
PROBE=$PWD/build/windows/tests/support/vantro_e2e_probe.exe
WORK=$(mktemp -d "$PWD/build/e2e-hotkeys.XXXXXX")
instance=
cleanup() {
  [[ -n $instance ]] && kill "$instance" 2>/dev/null
  rm -rf "$WORK"
  e2e_session_end
}
trap cleanup EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! command -v xdotool >/dev/null; then
  echo "FAIL: xdotool is missing"
  exit 1
fi

# No modifier may be down from an earlier test: it would change the chord typed.
release_modifiers() { xdotool keyup ctrl shift alt super; }
release_modifiers

LOCAL=$WORK/local
ROAMING=$WORK/roaming
mkdir -p "$LOCAL" "$ROAMING/vantro"
e2e_windows_path LOCAL_W "$LOCAL" ROAMING_W "$ROAMING" EXE_W "$EXE" ||
  { echo "FAIL: no Windows paths for the program's runs"; exit 1; }
log_file() { echo "$LOCAL/vantro/vantro.$(date -u +%Y-%m-%d).log"; }
# After a failed check of the log: where the instance's lines went.
log_whereabouts() { e2e_log_whereabouts "$WORK/run-out" "$LOCAL"; }

# wait_log FIXED-TEXT [TENTHS]: waits until the day's log holds the text.
wait_log() {
  local i
  for i in $(seq 1 "${2:-200}"); do
    grep -qsF -- "$1" "$(log_file)" && return 0
    sleep 0.1
  done
  return 1
}

count_log() { grep -csF -- "$1" "$(log_file)"; }

start_instance() {
  wine cmd /c "set LOCALAPPDATA=${LOCAL_W}&& set APPDATA=${ROAMING_W}&& set NO_COLOR=1&& set RUST_LOG=info&& ${EXE_W} --no-tray" \
    >"$WORK/run-out" 2>"$WORK/run-err" &
  instance=$!
}

# Sends "--close" and waits for the instance to end; its exit code lands in $instance_rc.
stop_instance() {
  timeout 60 wine "$EXE" --close >/dev/null 2>&1
  instance_rc=timeout
  local i
  for i in $(seq 1 200); do
    if ! kill -0 "$instance" 2>/dev/null; then
      wait "$instance"
      instance_rc=$?
      instance=
      return
    fi
    sleep 0.1
  done
}

# press CHORD: the pointer onto the virtual desktop, then the chord.
press() {
  release_modifiers
  xdotool mousemove 640 400 && xdotool key --clearmodifiers "$1"
}

# close_overlay CANCELLED-EVENT: Escape until the log says the overlay closed. The overlay is
# logged just before its window opens, so a first Escape can come too early and be lost.
close_overlay() {
  local try i
  for try in 1 2 3 4 5; do
    xdotool key Escape
    for i in $(seq 1 20); do
      grep -qsF "$1" "$(log_file)" && return 0
      sleep 0.1
    done
  done
  fail "the overlay did not close on Escape ($1 not logged)"
  log_whereabouts
}

# The action a chord started has run when one of its outcomes is in the log: the overlay
# shown, nothing to pick, or the failure the main loop reports. A box it shows is closed.
# action_ran ACTION-DEBUG-NAME OVERLAY-EVENT EMPTY-EVENT
action_ran() {
  local i
  for i in $(seq 1 150); do
    if grep -qsF "hotkey handler failed action=$1" "$(log_file)"; then
      timeout 30 wine "$PROBE" close-box "vantro: action failed" 10000 >>"$WORK/boxes"
      return 0
    fi
    if grep -qsF "$3" "$(log_file)"; then
      timeout 30 wine "$PROBE" close-box "vantro" 10000 >>"$WORK/boxes"
      return 0
    fi
    if grep -qsF "$2" "$(log_file)"; then
      close_overlay "${2#showing } cancelled"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# --- Default chords: registered, and each one typed starts its action once
start_instance
if wait_log "hotkey registered modifiers=Modifiers(CONTROL | SHIFT) code=Space action=PickElement id=34078782" &&
  wait_log "hotkey registered modifiers=Modifiers(ALT | CONTROL) code=Space action=PickWindow id=589886"; then
  echo "ok: both default chords are registered"
else
  fail "default chords not registered"
  cat "$WORK/run-out" "$WORK/run-err" "$(log_file)" 2>/dev/null | tail -20
  log_whereabouts
fi
if grep -qsF "hotkey conflict" "$(log_file)"; then fail "a conflict box with free chords"; fi

press ctrl+shift+space
if action_ran PickElement "showing element overlay" "no interactable elements in foreground window"; then
  echo "ok: Ctrl+Shift+Space starts pick element"
else
  fail "Ctrl+Shift+Space did not start pick element"
  tail -20 "$(log_file)"
  log_whereabouts
fi
sleep 1
press ctrl+alt+space
if action_ran PickWindow "showing window overlay" "no visible top-level windows"; then
  echo "ok: Ctrl+Alt+Space starts pick window"
else
  fail "Ctrl+Alt+Space did not start pick window"
  tail -20 "$(log_file)"
  log_whereabouts
fi
sleep 1
# One press, one action: neither chord ran twice.
outcomes() {
  local n=0 event
  for event in "$@"; do n=$((n + $(count_log "$event"))); done
  echo $n
}
element_runs=$(outcomes "hotkey handler failed action=PickElement" "showing element overlay" \
  "no interactable elements in foreground window")
window_runs=$(outcomes "hotkey handler failed action=PickWindow" "showing window overlay" "no visible top-level windows")
if [[ $element_runs == 1 && $window_runs == 1 ]]; then
  echo "ok: each press ran its action once"
else
  fail "actions per press: pick element $element_runs, pick window $window_runs"
  tail -20 "$(log_file)"
  log_whereabouts
fi

stop_instance
if [[ $instance_rc == 0 ]]; then
  echo "ok: the instance exits 0 after --close"
else
  fail "instance after --close: $instance_rc"
fi

# --- A chord that does not parse: one warning box before the banner; the other chord works
printf '[hotkeys]\npick_element = "Ctrl+Shift+Space"\npick_window = " Ctrl+Alt"\n' >"$ROAMING/vantro/config.toml"
: >"$(log_file)"
start_instance
# Start-up waits for the box: no banner while it is open.
if wait_log "user notification title=vantro: hotkey conflict"; then
  sleep 0.5
  grep -qF "is running." "$WORK/run-out" && fail "the banner came before the conflict box was closed"
fi
box=$(timeout 30 wine "$PROBE" close-box "vantro: hotkey conflict" 20000 | tr -d "\r")
# The probe writes the box's line breaks as "|".
want="box text=Some hotkeys couldn't be registered:||• Pick window ( Ctrl+Alt): invalid chord (unrecognized key 'Alt' in ' Ctrl+Alt')||Open Settings from the tray to choose a different chord."
if [[ $box == "$want" ]]; then
  echo "ok: the unusable chord is reported in the warning box"
else
  fail "conflict box: $box"
fi
if wait_log "hotkey parse failed action=PickWindow chord= Ctrl+Alt error=unrecognized key 'Alt' in ' Ctrl+Alt'" &&
  wait_log "user notification title=vantro: hotkey conflict"; then
  echo "ok: the parse failure and the box are logged"
else
  fail "parse failure events"
  tail -20 "$(log_file)"
  log_whereabouts
fi
for _ in $(seq 1 100); do
  grep -qF "  Pick window  :  Ctrl+Alt" "$WORK/run-out" && break
  sleep 0.1
done
if grep -qxF "  Pick window  :  Ctrl+Alt" "$WORK/run-out"; then
  echo "ok: the banner shows the failed chord as configured"
else
  fail "banner"
  cat "$WORK/run-out"
fi
if wait_log "hotkey registered modifiers=Modifiers(CONTROL | SHIFT) code=Space action=PickElement"; then
  press ctrl+shift+space
  if action_ran PickElement "showing element overlay" "no interactable elements in foreground window"; then
    echo "ok: the chord that registered still works"
  else
    fail "pick element chord after a conflict"
  fi
else
  fail "pick element chord not registered next to a failed one"
fi
stop_instance
[[ $instance_rc == 0 ]] || fail "instance after --close: $instance_rc"

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
