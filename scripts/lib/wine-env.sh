# Sourced by scripts/test and scripts/run, and by an end-to-end suite started on its own
# (tests/e2e/lib/suite.sh): owns the Wine environment of a run.
#
#   vantro_wine_setup      private Xvfb (unless a display is given), the prefix in
#                          build/wine, one persistent wineserver, the test registrations
#   vantro_wine_teardown   stops what setup started (also run from the EXIT trap)
#   vantro_release_keys    releases modifier keys that an earlier run may have left down
#   vantro_wine_fresh_session
#                          ends every process of the prefix (a program a test left running)
#                          and starts its services and desktop again
#
# Nothing is ever killed by name: the Xvfb by its own PID, the wineserver of this prefix only.

VANTRO_ROOT=${VANTRO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
VANTRO_BUILD=${VANTRO_BUILD:-$VANTRO_ROOT/build}

export WINEPREFIX=${VANTRO_WINEPREFIX:-$VANTRO_BUILD/wine}
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono/Gecko installers; a crash must not start winedbg, which would hang holding the
# output pipe.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

VANTRO_XVFB_PID=
VANTRO_WINESERVER_STARTED=

vantro_log() { printf '[vantro] %s\n' "$*" >&2; }

# Starts Xvfb on the first free display number and waits until it answers.
vantro_start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -ac >"$VANTRO_BUILD/xvfb-$n.log" 2>&1 &
    VANTRO_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      if [[ -e /tmp/.X11-unix/X$n ]] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      if ! kill -0 "$VANTRO_XVFB_PID" 2>/dev/null; then break; fi
      sleep 0.1
    done
    kill "$VANTRO_XVFB_PID" 2>/dev/null || true
    wait "$VANTRO_XVFB_PID" 2>/dev/null || true
    VANTRO_XVFB_PID=
  done
  vantro_log "could not start Xvfb"
  return 1
}

# A private HOME so that Wine touches nothing of the user's.
vantro_wine_home() {
  export HOME=$VANTRO_BUILD/wine-home
  mkdir -p "$HOME"
}

vantro_wine_prefix() {
  mkdir -p "$WINEPREFIX"
  if wineserver -p 2>/dev/null; then VANTRO_WINESERVER_STARTED=1; fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    vantro_log "creating the Wine prefix in $WINEPREFIX (once)"
    wineboot -i </dev/null >/dev/null 2>&1
  fi
  # Every later `wine prog.exe` of this prefix opens inside one virtual desktop, which keeps
  # the X focus for hotkeys and typed keys.
  if [[ ! -f $WINEPREFIX/.vantro-desktop ]]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
    # The desktop process that wineboot started reads these keys only when it starts: without
    # a restart this session would run on the bare X screen (no virtual desktop, so focus
    # follows the pointer and every window waits on the X server).
    vantro_restart_wineserver
    touch "$WINEPREFIX/.vantro-desktop"
  fi
  # Start the prefix's background services now, detached from our output: a service started
  # by the first test would inherit that test's output pipe and keep it open.
  wineboot </dev/null >/dev/null 2>&1 || true
  vantro_wait_for_desktop || return 1
  vantro_register_test_support
}

# Stops every process of this prefix and its wineserver (which saves the registry), then
# starts a persistent server again.
vantro_restart_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if wineserver -p 2>/dev/null; then VANTRO_WINESERVER_STARTED=1; fi
}

vantro_wine_fresh_session() {
  vantro_restart_wineserver
  wineboot </dev/null >/dev/null 2>&1 || true
  vantro_wait_for_desktop || return 1
  vantro_release_keys
}

# Waits (bounded) for the prefix's virtual desktop window on the X screen.
vantro_wait_for_desktop() {
  local i
  for i in $(seq 1 100); do
    xwininfo -root -children 2>/dev/null | grep -qF '"Default - Wine desktop"' && return 0
    # The desktop process starts with the first program that needs a window.
    ((i == 1)) && { wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true; }
    sleep 0.1
  done
  vantro_log "the Wine virtual desktop did not appear on $DISPLAY"
  return 1
}

# Registers the test-only UI Automation stand-in, when it has been built.
vantro_register_test_support() {
  local dll=$VANTRO_BUILD/windows/tests/support/uia_standin.dll
  [[ -f $dll ]] || return 0
  local windows_path
  windows_path=$(winepath -w "$dll" 2>/dev/null)
  local key='HKCR\CLSID\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\InprocServer32'
  wine reg add "$key" /ve /d "$windows_path" /f >/dev/null 2>&1
  wine reg add "$key" /v ThreadingModel /d Both /f >/dev/null 2>&1
  vantro_log "UI Automation stand-in registered in the test prefix: $windows_path"
}

vantro_wine_setup() {
  local want_display=${1:-private}
  mkdir -p "$VANTRO_BUILD"
  vantro_wine_home
  if [[ $want_display == private || -z ${DISPLAY:-} ]]; then
    vantro_start_xvfb
    [[ $want_display == private ]] || vantro_log "no DISPLAY set: started a private Xvfb on $DISPLAY"
  fi
  trap vantro_wine_teardown EXIT
  vantro_wine_prefix || return 1
  vantro_release_keys
}

# Releases the modifiers, in case a run before this one (on a shared display) left one down:
# a held Ctrl or Alt would turn every typed chord into another one.
vantro_release_keys() {
  command -v xdotool >/dev/null || return 0
  xdotool keyup ctrl shift alt super 2>/dev/null || true
}

vantro_wine_teardown() {
  if [[ -n $VANTRO_WINESERVER_STARTED ]]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    VANTRO_WINESERVER_STARTED=
  fi
  if [[ -n $VANTRO_XVFB_PID ]]; then
    kill "$VANTRO_XVFB_PID" 2>/dev/null || true
    wait "$VANTRO_XVFB_PID" 2>/dev/null || true
    VANTRO_XVFB_PID=
  fi
}
