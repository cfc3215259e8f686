# What every end-to-end suite sources: its Wine session, Windows paths that are checked, and
# where the program's log lines went when a check of the log fails.
#
# scripts/test prepares one session for all suites (DISPLAY and WINEPREFIX exported) and starts
# it afresh before each; a suite started on its own prepares a private one (Xvfb, the prefix in
# build/wine, a persistent wineserver) and ends it when it ends.

E2E_ROOT=${E2E_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
E2E_OWN_SESSION=

# Prepares the Wine session unless the caller (scripts/test) already did; exits the suite when
# it cannot. The suite's EXIT trap calls e2e_session_end.
e2e_session() {
  if [[ -n ${WINEPREFIX:-} && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1 &&
    [[ -f $WINEPREFIX/system.reg ]]; then
    return 0
  fi
  # shellcheck source=../../../scripts/lib/wine-env.sh
  source "$E2E_ROOT/scripts/lib/wine-env.sh"
  E2E_OWN_SESSION=1
  echo "note: no prepared Wine session: this suite runs in its own (Xvfb and wineserver of $WINEPREFIX)"
  if ! vantro_wine_setup private || [[ -z $VANTRO_XVFB_PID ]]; then
    echo "FAIL: could not prepare a Wine session for this suite"
    e2e_session_end
    exit 1
  fi
  echo "note: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
}

# Stops the Xvfb and the wineserver that e2e_session started; a prepared session is left alone.
e2e_session_end() {
  [[ -n $E2E_OWN_SESSION ]] || return 0
  E2E_OWN_SESSION=
  vantro_wine_teardown
}

# e2e_windows_path VAR PATH [VAR PATH...]: each VAR becomes the Windows form of its PATH
# (winepath -w). A conversion that gives nothing is reported and returns 1, for the caller to
# fail its case: in the program's command line an empty path would go unnoticed, and
# "set LOCALAPPDATA=" removes the variable.
e2e_windows_path() {
  local converted status
  while (($# >= 2)); do
    converted=$(winepath -w "$2" 2>/dev/null)
    status=$?
    converted=${converted%$'\r'}
    if [[ -z $converted ]]; then
      echo "note: winepath -w gave no Windows path for $2 (exit code $status)"
      return 1
    fi
    printf -v "$1" '%s' "$converted"
    shift 2
  done
}

# e2e_log_whereabouts STDOUT LOCALAPPDATA: after a failed check of the program's log, where its
# lines went: the end of its standard output (where they go when it has no usable log folder)
# and what its LOCALAPPDATA folder holds.
e2e_log_whereabouts() {
  echo "note: the program's standard output ($1), last lines:"
  tail -n 5 "$1" 2>&1 | tr -d '\r' | cut -c 1-300 | sed 's/^/    /'
  echo "note: its LOCALAPPDATA ($2):"
  ls -lR "$2" 2>&1 | sed 's/^/    /'
}
