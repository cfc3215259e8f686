#!/usr/bin/env bash
# A close request ("vantro.exe --close") ends a running vantro.exe under Wine whatever it has
# open: the tray menu, an overlay whose label is completed while the request waits in the
# queue, a message box. Each case starts its own instance and waits a bounded time for it to
# end with exit code 0.
# The tray's items are numbered from 1000 in menu order, so Pick element is 1000 in a fresh
# process; its menu opens on the icon's callback message with a right-button press.
# Run by scripts/test inside its prepared Wine session; runs on its own as well.
set -uo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/lib/desktop.sh
e2e_session
e2e_workdir close_requests
trap 'e2e_cleanup; e2e_session_end' EXIT

for file in "$E2E_EXE" "$E2E_SAMPLE" "$E2E_PROBE"; do
  [[ -f $file ]] || { echo "FAIL: $file is not built"; exit 1; }
done
if [[ ! -f $E2E_SUPPORT/uia_standin.dll ]]; then
  echo "skip: no UI Automation server in this prefix, so the normal run cannot start"
  exit 0
fi

PICK_ELEMENT_COMMAND=1000
TRAY_CALLBACK=6002
WM_KEYDOWN=0x100
WM_RBUTTONDOWN=0x204
VK_ESCAPE=27
VK_A=65

# After a failed case: whatever still holds the program (a menu, an overlay, a box) is closed
# and the program asked again until "--close" finds no instance, so that the next case can
# start its own. (The PID is no guide here: it is the one of the cmd that started vantro.exe.)
# When even that fails, the later cases cannot run.
end_stuck_instance() {
  local try said
  for try in 1 2 3 4 5 6 7 8 9 10; do
    probe post-message "#32768" "$WM_KEYDOWN" "$VK_ESCAPE" 0 200 >/dev/null
    probe post-message VantroOverlayClass "$WM_KEYDOWN" "$VK_ESCAPE" 0 200 >/dev/null
    probe close-box vantro 200 >/dev/null
    said=$(timeout 60 wine "$E2E_EXE" --close 2>&1 | tr -d '\r')
    [[ $said == "vantro: no running instance found." ]] && return 0
    sleep 1
  done
  echo "FAIL: vantro.exe still runs after repeated --close; the remaining cases cannot start"
  exit 1
}

# close_and_expect_exit WHAT: "vantro.exe --close", which must report the signal, and the
# program must end with exit code 0.
close_and_expect_exit() {
  local what=$1
  stop_vantro
  local said
  said=$(tr -d '\r' <"$E2E_WORK/close.out")
  if [[ $VANTRO_RC == 0 && $said == "vantro: shutdown signal sent." ]]; then
    e2e_ok "--close with $what ends the program with exit code 0"
  else
    e2e_fail "--close with $what: program exit code $VANTRO_RC, --close said: $said"
    e2e_note "log: $(program_log | tail -5)"
    end_stuck_instance
  fi
}

# close_with_window_open NAME WHAT CLASS OPEN...: starts an instance, runs OPEN, which makes it
# show a window of CLASS, then the close request: the program and that window must go.
close_with_window_open() {
  local name=$1 what=$2 class=$3
  shift 3
  if ! start_vantro "$name" ""; then
    e2e_fail "vantro.exe did not start for the case with $what"
    return
  fi
  "$@"
  if probe wait-window "$class" 15000 | grep -q '^found'; then
    close_and_expect_exit "$what"
    probe wait-gone "$class" 5000 >/dev/null || e2e_fail "$what outlived the program"
  else
    e2e_fail "no window of class $class opened for the case with $what"
    end_stuck_instance
  fi
}

open_tray_menu() { probe post-message tray_icon_app "$TRAY_CALLBACK" 1 "$WM_RBUTTONDOWN" 10000 >/dev/null; }
# pick_element_over TITLE: that window to the foreground, then the tray's Pick element.
pick_element_over() {
  probe activate "$1" 10000 >/dev/null || e2e_fail "\"$1\" did not come to the foreground"
  probe post-command tray_icon_app "$PICK_ELEMENT_COMMAND" 10000 >/dev/null
}

# --- 1. The tray menu open --------------------------------------------------------------------
close_with_window_open tray-menu "the tray menu open" "#32768" open_tray_menu

# --- 2. An overlay: a close request and a completing key queued together ---------------------
# The one button of the sample gets the label "a". The program meets the close request first
# and the key right after it, before it has read the quit message the request posted.
start_sample one "e2e close sample" --pos 120,140 --size 300,200 --timeout-ms 300000 \
  button,id=101,text=Alpha || e2e_fail "the sample application did not start"
if start_vantro overlay ""; then
  pick_element_over "e2e close sample"
  if probe wait-window VantroOverlayClass 15000 | grep -q '^found' &&
    wait_for 'the log event "showing element overlay"' 10 log_has "showing element overlay"; then
    posted=$(probe close-request-with-key VantroOverlayClass "$VK_A")
    [[ $posted == posted* ]] || e2e_fail "the probe could not queue both: $posted"
    wait_vantro_exit 20
    if [[ $VANTRO_RC == 0 ]] && log_has "IPC: WM_CLOSE received — shutting down" &&
      log_has "element selected — invoking"; then
      e2e_ok "a close request queued with a completing key: the label is chosen and the program exits with code 0"
    else
      e2e_log_fail "a close request queued with a completing key: program exit code $VANTRO_RC; log: $(program_log | tail -4)"
      end_stuck_instance
    fi
  else
    e2e_log_fail "the overlay did not open over the sample"
    end_stuck_instance
  fi
else
  e2e_fail "vantro.exe did not start for the overlay case"
fi
stop_sample one "e2e close sample"

# --- 3. A message box open ----------------------------------------------------------------------
# A foreground window without controls: Pick element shows its information box.
start_sample empty "e2e close empty" --pos 300,300 --size 300,200 --timeout-ms 300000 \
  "label,id=1,text=Nothing to pick" || e2e_fail "the empty sample did not start"
close_with_window_open box "a message box open" "#32770" pick_element_over "e2e close empty"
stop_sample empty "e2e close empty"

echo "artefacts: $E2E_WORK"
((E2E_FAILURES == 0)) || { echo "$E2E_FAILURES failure(s)"; exit 1; }
