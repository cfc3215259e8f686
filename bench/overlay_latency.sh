#!/usr/bin/env bash
# Time from the pick-element chord to the overlay window existing (a top-level window of class
# VantroOverlayClass), for the sample application with 10 and with 500 buttons. A measurement,
# not a test: it prints the figures and fails only when it could not measure.
#
#   bench/overlay_latency.sh [ROUNDS]      (default 5 rounds per size; needs both presets built)
set -uo pipefail
cd "$(dirname "$0")/.."
source tests/e2e/lib/desktop.sh
e2e_session
e2e_workdir overlay_latency
trap 'e2e_cleanup; declare -F vantro_wine_teardown >/dev/null && vantro_wine_teardown' EXIT
rounds=${1:-5}

start_vantro bench "" || { echo "vantro.exe did not start"; exit 1; }
status=0
for buttons in 10 500; do
  title="latency $buttons"
  start_sample "b$buttons" "$title" --pos 0,0 --size 1270,790 --timeout-ms 600000 "grid,id=1000,count=$buttons" ||
    { echo "sample application with $buttons buttons did not start"; status=1; continue; }
  samples=()
  for ((round = 0; round < rounds; round++)); do
    probe activate "$title" 10000 >/dev/null
    out=$E2E_WORK/wait-$buttons-$round.out
    timeout 60 wine "$E2E_PROBE" wait-window VantroOverlayClass 20000 >"$out" 2>/dev/null &
    waiter=$!
    wait_for "the overlay probe to start polling" 30 grep -q waiting "$out" || break
    pressed=$(now_ms)
    press ctrl+shift+space
    if ! wait "$waiter"; then
      echo "no overlay within 20 s ($buttons buttons, round $round)"
      status=1
      break
    fi
    found=$(tr -d '\r' <"$out" | sed -n 's/.*unix_ms=\([0-9]*\).*/\1/p')
    samples+=($((found - pressed)))
    type_to_overlay Escape
    probe wait-gone VantroOverlayClass 10000 >/dev/null || { echo "overlay did not close"; status=1; break; }
  done
  stop_sample "b$buttons" "$title"
  if ((${#samples[@]} > 0)); then
    sorted=$(printf '%s\n' "${samples[@]}" | sort -n | tr '\n' ' ')
    median=$(printf '%s\n' "${samples[@]}" | sort -n | sed -n "$(((${#samples[@]} + 1) / 2))p")
    echo "[ perf ] chord to overlay window, $buttons buttons: median ${median} ms over ${#samples[@]} rounds (ms: $sorted)"
  fi
done
stop_vantro || status=1
exit $status
