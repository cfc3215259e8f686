#!/usr/bin/env bash
# The two pick actions end to end, driven the way a user drives them: the real vantro.exe in
# the test prefix's Wine virtual desktop, the UI Automation stand-in, the sample application,
# real key events from xdotool, screenshots of the open overlay (kept under build/e2e).
# Run by scripts/test inside its prepared Wine session; runs on its own as well.
set -uo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/lib/desktop.sh
e2e_session
e2e_workdir pick_actions
standin_key='HKCR\CLSID\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\InprocServer32'
standin_dll=
standin_registered() { wine reg query "$standin_key" /ve >/dev/null 2>&1; }
restore_standin() {
  [[ -n $standin_dll ]] || return 0
  wine reg add "$standin_key" /ve /d "$standin_dll" /f >/dev/null 2>&1
  wine reg add "$standin_key" /v ThreadingModel /d Both /f >/dev/null 2>&1
  standin_dll=
}
trap 'restore_standin; e2e_cleanup; e2e_session_end' EXIT

for file in "$E2E_EXE" "$E2E_SAMPLE" "$E2E_PROBE"; do
  [[ -f $file ]] || { echo "FAIL: $file is not built"; exit 1; }
done

# A badge colour that nothing else on the desktop uses, so that a screenshot shows the badges.
BADGE_HEX="#1FD27B"
# Element labels come from the configured alphabet, window labels always from "asdfghjkl".
ALPHABET=qwert
CONFIG="[hints]
alphabet = \"$ALPHABET\"

[colors.element]
badge_bg = \"$BADGE_HEX\""

# --- Start-up without a UI Automation server: exit code 1, the error in the log -------------
if standin_registered; then
  standin_dll=$(wine reg query "$standin_key" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  wine reg delete "$standin_key" /f >/dev/null 2>&1
  dir=$E2E_WORK/no-automation
  mkdir -p "$dir/appdata" "$dir/local"
  if e2e_windows_path appdata_w "$dir/appdata" local_w "$dir/local" exe_w "$E2E_EXE"; then
    timeout 60 wine cmd /c "set APPDATA=$appdata_w&& set LOCALAPPDATA=$local_w&& set NO_COLOR=1&& $exe_w" \
      >"$dir/stdout" 2>"$dir/stderr" </dev/null
    rc=$?
  else
    rc="not started"
  fi
  restore_standin
  log=$(cat "$dir"/local/vantro/vantro* 2>/dev/null | tr -d '\r')
  if [[ $rc == 1 ]] && grep -q "vantro exited with error" <<<"$log" &&
    grep -q "initializing UI Automation client" <<<"$log"; then
    e2e_ok "without a UI Automation server start-up ends with exit code 1 and the client's error"
  else
    e2e_fail "start-up without a UI Automation server: rc $rc; log: $(tail -3 <<<"$log")"
    e2e_log_whereabouts "$dir/stdout" "$dir/local"
  fi
fi
standin_registered || { echo "FAIL: the UI Automation stand-in is not registered in $WINEPREFIX"; exit 1; }

# --- 1. The normal run ------------------------------------------------------------------------
if start_vantro main "$CONFIG"; then
  e2e_ok "vantro.exe printed its banner"
else
  e2e_fail "vantro.exe did not start: $(cat "$E2E_WORK/main/stderr" | head -5)"
  exit 1
fi

# --- 2. The sample application in the foreground --------------------------------------------
start_sample one "e2e sample" --pos 120,140 --size 460,320 --timeout-ms 600000 \
  button,id=101,text=Alpha button,id=102,text=Beta button,id=103,text=Gamma checkbox,id=104,text=Check ||
  e2e_fail "sample application did not start"
SAMPLE_ONE=$SAMPLE_HWND
probe activate "e2e sample" 10000 >/dev/null || e2e_fail "sample application did not come to the foreground"

# --- 3./4. The pick-element chord opens the overlay; a screenshot shows the badges -------------
# open_element_overlay SHOT: presses the chord, waits for the overlay, keeps a screenshot.
open_element_overlay() {
  local probe_out=$E2E_WORK/overlay-wait.out
  timeout 60 wine "$E2E_PROBE" wait-window VantroOverlayClass 15000 >"$probe_out" 2>/dev/null &
  local waiter=$!
  wait_for "the overlay probe to start polling" 30 grep -q waiting "$probe_out" || return 1
  local pressed
  pressed=$(now_ms)
  press ctrl+shift+space
  wait "$waiter" || { echo "no window of class VantroOverlayClass within 15 s after the chord"; return 1; }
  local found
  found=$(tr -d '\r' <"$probe_out" | sed -n 's/.*unix_ms=\([0-9]*\).*/\1/p')
  OVERLAY_LATENCY_MS=$((found - pressed))
  [[ -n ${1:-} ]] && { sleep 0.3; import -window root "$E2E_WORK/$1"; }
  return 0
}

e2e_note "trigger: the real pick-element chord Ctrl+Shift+Space, typed with xdotool and delivered by RegisterHotKey"
if open_element_overlay overlay-elements.png; then
  e2e_ok "the pick-element chord (real key events) opened the overlay in ${OVERLAY_LATENCY_MS} ms"
  # A badge at each control's top-left corner (the element overlay places it just above the
  # control, overlapping its top edge), and none in the empty part of the window.
  for id in 101 102 103 104; do
    read -r _ left top _ _ < <(probe control-rect "$SAMPLE_ONE" "$id")
    region="36x34+$((left - 4))+$((top - 24))"
    pixels=$(count_colour "$E2E_WORK/overlay-elements.png" "$region" "$BADGE_HEX")
    if ((pixels > 40)); then
      e2e_ok "badge pixels at control $id ($pixels in $region)"
    else
      e2e_fail "no badge at control $id (region $region, $pixels pixels of $BADGE_HEX)"
    fi
  done
  pixels=$(count_colour "$E2E_WORK/overlay-elements.png" "200x120+340+320" "$BADGE_HEX")
  ((pixels == 0)) && e2e_ok "no badge pixels where there is no control" ||
    e2e_fail "$pixels badge pixels in the empty part of the window"
  wait_for 'the log event "showing element overlay"' 10 log_has "showing element overlay" &&
    grep -q "count=4" <<<"$(log_line "showing element overlay")" &&
    e2e_ok "log: $(log_line "showing element overlay" | cut -c 1-120)" ||
    e2e_log_fail "log lacks \"showing element overlay\" with count=4: $(log_line "showing element overlay")"

  # --- 5. Typing a label activates that button -----------------------------------------------
  type_to_overlay "$(label_for 1 4 "$ALPHABET")"
  if wait_for "the sample application to print the WM_COMMAND of Beta" 15 sample_has one "command id=102"; then
    e2e_ok "typing label \"$(label_for 1 4 "$ALPHABET")\" of the configured alphabet invoked Beta (sample: $(grep -m1 'command id=102' "$E2E_WORK/sample-one.out" | tr -d '\r'))"
  else
    e2e_fail "Beta was not invoked"
  fi
  selected=$(log_line "element selected — invoking")
  if [[ $selected == *"id=ElementId(1)"* && $selected == *"role=Button"* ]]; then
    e2e_ok "log: element selected — invoking with id=ElementId(1) role=Button"
  else
    e2e_log_fail "log lacks \"element selected — invoking\" id=ElementId(1) role=Button: $selected"
  fi
  probe wait-gone VantroOverlayClass 10000 >/dev/null || e2e_fail "the overlay stayed open after the choice"
else
  e2e_fail "the pick-element chord did not open the overlay"
fi

# --- 7a. Esc cancels -------------------------------------------------------------------------
probe activate "e2e sample" 10000 >/dev/null
if open_element_overlay; then
  type_to_overlay Escape
  if probe wait-gone VantroOverlayClass 10000 >/dev/null &&
    wait_for 'the log event "element overlay cancelled"' 10 log_has "element overlay cancelled"; then
    e2e_ok "Esc closed the overlay: element overlay cancelled"
  else
    e2e_log_fail "Esc did not cancel the overlay"
  fi
else
  e2e_fail "the overlay did not open for the Esc check"
fi

# --- 7c. A chord pressed while the overlay is open runs once the overlay ends ----------------
# Round after round: the chord, the chord again while the overlay is open, Esc. The second pick
# starts right after the overlay's window is destroyed, while the foreground passes back from it
# to the sample; it must still find the sample's four controls.
log_count() { program_log | grep -cF -- "$1"; }
log_count_reaches() { (($(log_count "$1") >= $2)); }
overlay_visible() { xdotool search --onlyvisible --name '^Vantro Overlay$' >/dev/null 2>&1; }
# cancel_element_overlay N: Esc into the open overlay until "element overlay cancelled" is
# logged N times. The overlay is logged just before its window opens, so an Esc can come too
# early and be lost; then it is sent again.
cancel_element_overlay() {
  local try
  for try in 1 2 3; do
    wait_for "the overlay window" 15 overlay_visible || return 1
    type_to_overlay Escape
    wait_for 'the log event "element overlay cancelled"' 3 log_count_reaches "element overlay cancelled" "$1" &&
      return 0
  done
  return 1
}
# pick_ran SHOWN EMPTY: the log holds SHOWN overlays, or more than EMPTY empty-window events.
pick_ran() {
  log_count_reaches "showing element overlay" "$1" ||
    log_count_reaches "no interactable elements in foreground window" $(($2 + 1))
}
# badges_at_controls SHOT: a screenshot with a badge at each of the sample's controls.
badges_at_controls() {
  import -window root "$E2E_WORK/$1" || return 1
  local region
  for region in "${CONTROL_REGIONS[@]}"; do
    (($(count_colour "$E2E_WORK/$1" "$region" "$BADGE_HEX") > 40)) || return 1
  done
}

CONTROL_REGIONS=()
for id in 101 102 103 104; do
  read -r _ left top _ _ < <(probe control-rect "$SAMPLE_ONE" "$id")
  CONTROL_REGIONS+=("36x34+$((left - 4))+$((top - 24))")
done
probe activate "e2e sample" 10000 >/dev/null || e2e_fail "sample application did not come to the foreground"
replay_rounds=15
replays_ok=0
replay_start=$SECONDS
for ((round = 1; round <= replay_rounds; round++)); do
  shown=$(log_count "showing element overlay")
  cancelled=$(log_count "element overlay cancelled")
  empty=$(log_count "no interactable elements in foreground window")
  press ctrl+shift+space
  if ! wait_for "the overlay of round $round" 15 log_count_reaches "showing element overlay" $((shown + 1)) ||
    ! wait_for "the overlay window of round $round" 15 overlay_visible; then
    e2e_log_fail "round $round: the chord did not open the overlay"
    break
  fi
  first=$(log_line "showing element overlay")
  # The chord again, pressed as a user presses it: into the overlay, which has the keyboard
  # focus. Under Wine the focus matters. The overlay's window opens under the pointer, and Wine
  # takes the keyboard state of that moment from X only when the program reads that event,
  # which can be after the chord was let go on the desktop window: Space then stays down for
  # Wine until it is pressed again, and that press is taken for a key repeat. The focus makes
  # Wine read the keyboard state anew; the probe waits until Wine has Space up.
  focus_overlay
  if ! key_state=$(probe wait-key-up 0x20 10000); then
    e2e_fail "round $round: Space stayed down for Wine after the overlay took the focus ($key_state)"
    break
  fi
  press ctrl+shift+space
  cancel_element_overlay $((cancelled + 1)) || { e2e_fail "round $round: Esc did not close the overlay"; break; }
  if ! wait_for "the pick asked for while the overlay was open (round $round)" 15 pick_ran $((shown + 2)) "$empty"; then
    e2e_log_fail "round $round: the chord pressed while the overlay was open did not run"
    break
  fi
  if log_count_reaches "no interactable elements in foreground window" $((empty + 1)); then
    e2e_fail "round $round: the replayed pick found nothing ($(probe close-box vantro 10000)); first overlay: $first"
    continue
  fi
  replayed=$(log_line "showing element overlay")
  if [[ $first != *"count=4"* || $replayed != *"count=4"* ]]; then
    e2e_fail "round $round: overlays of 4 targets expected; first: $first; replayed: $replayed"
  elif ((round == 1)) && ! wait_for "badges at the sample's controls" 10 badges_at_controls overlay-replayed.png; then
    e2e_fail "round $round: the replayed overlay shows no badge at some control of the sample"
  else
    replays_ok=$((replays_ok + 1))
  fi
  cancel_element_overlay $((cancelled + 2)) || { e2e_fail "round $round: Esc did not close the replayed overlay"; break; }
done
((replays_ok == replay_rounds)) &&
  e2e_ok "a chord pressed while the overlay was open opened it again over the sample's 4 controls once it closed, in each of $replay_rounds rounds ($((SECONDS - replay_start)) s; badges checked on a screenshot in round 1)"

# --- 6. Pick window --------------------------------------------------------------------------
start_sample two "e2e other window" --pos 640,180 --size 360,240 --timeout-ms 600000 button,id=201,text=Other ||
  e2e_fail "second sample application did not start"
probe activate "e2e other window" 10000 >/dev/null
mapfile -t windows < <(probe pickable-windows | sed -n 's/^window hwnd=[^ ]* title=//p')
target_index=-1
for i in "${!windows[@]}"; do [[ ${windows[$i]} == "e2e sample" ]] && target_index=$i; done
if ((target_index < 0)); then
  e2e_fail "the sample window is not among the pickable windows: ${windows[*]}"
else
  timeout 60 wine "$E2E_PROBE" wait-window VantroOverlayClass 15000 >"$E2E_WORK/window-wait.out" 2>/dev/null &
  waiter=$!
  wait_for "the overlay probe to start polling" 30 grep -q waiting "$E2E_WORK/window-wait.out"
  press ctrl+alt+space
  if wait "$waiter"; then
    sleep 0.3
    import -window root "$E2E_WORK/overlay-windows.png"
    label=$(label_for "$target_index" "${#windows[@]}")
    type_to_overlay $(sed 's/./& /g' <<<"$label")
    if probe wait-foreground "e2e sample" 10000 >/dev/null; then
      e2e_ok "pick window: label \"$label\" (over asdfghjkl) brought \"e2e sample\" to the foreground"
    else
      e2e_fail "pick window: \"e2e sample\" did not become the foreground window ($(probe foreground))"
    fi
    log_has "showing window overlay" && log_has "window selected — focusing" &&
      e2e_ok "log: $(log_line "window selected — focusing" | cut -c 1-120)" ||
      e2e_log_fail "log lacks the window overlay events"
  else
    e2e_fail "the pick-window chord did not open the overlay"
  fi
fi

# --- 7b. An empty foreground window: the information box ------------------------------------
start_sample empty "e2e empty" --pos 300,300 --size 300,200 --timeout-ms 600000 "label,id=1,text=Nothing to pick" || e2e_fail "empty sample did not start"
probe wait-gone VantroOverlayClass 10000 >/dev/null || e2e_fail "an overlay is still open before the empty-window check"
probe activate "e2e empty" 10000 >/dev/null || e2e_fail "the empty window did not come to the foreground"
press ctrl+shift+space
box=$(probe close-box vantro 15000)
if [[ $box == "box text=No interactive elements found in the foreground window." ]]; then
  e2e_ok "empty window: the information box, closed by the test"
else
  e2e_fail "empty window: expected the information box, got: $box"
fi
wait_for 'the log event "no interactable elements in foreground window"' 10 \
  log_has "no interactable elements in foreground window" || e2e_log_fail "log lacks the empty-window event"
stop_sample empty "e2e empty"

# --- 8. --close ends the program with exit code 0 -------------------------------------------
if stop_vantro && [[ $VANTRO_RC == 0 && $CLOSE_RC == 0 ]]; then
  e2e_ok "vantro.exe --close: exit code 0 (program and --close)"
else
  e2e_fail "vantro.exe --close: program exit code $VANTRO_RC, --close exit code $CLOSE_RC"
fi
log_has "IPC: WM_CLOSE received — shutting down" && e2e_ok "log shows the shutdown" ||
  e2e_log_fail "log lacks the shutdown event: $(program_log | tail -3)"

# --- 8b. --close while the overlay is open ---------------------------------------------------
if start_vantro open-overlay "$CONFIG"; then
  probe activate "e2e sample" 10000 >/dev/null
  if open_element_overlay; then
    if stop_vantro && [[ $VANTRO_RC == 0 ]] &&
      program_log | grep -A2 -F "IPC: WM_CLOSE received" | grep -qF "element overlay cancelled"; then
      e2e_ok "--close with the overlay open: the overlay returned none (element overlay cancelled) and the program exited with code 0"
    else
      e2e_log_fail "--close with the overlay open: program exit code $VANTRO_RC"
    fi
    probe wait-gone VantroOverlayClass 5000 >/dev/null || e2e_fail "the overlay outlived the program"
  else
    e2e_fail "the overlay did not open for the --close check"
    stop_vantro
  fi
else
  e2e_fail "second normal run did not start"
fi

stop_sample one "e2e sample"
stop_sample two "e2e other window"
echo "artefacts: $E2E_WORK"

# --- The time from the chord to the overlay window, 10 and 500 buttons (figures only) -------
bash bench/overlay_latency.sh 3 || e2e_note "the latency measurement did not complete"
((E2E_FAILURES == 0)) || { echo "$E2E_FAILURES failure(s)"; exit 1; }
