#!/usr/bin/env bash
# The exe a Windows user copies, build/release/vantro.exe (release preset): copied alone into
# a folder of its own it runs and prints its version, it imports only DLLs that Windows itself
# ships, it carries no debug information (that is in vantro.debug beside it), and Windows reads
# its version resource as the program's version. The windows preset's exe has the same resource.
# Run by scripts/test inside its prepared Wine environment (DISPLAY and WINEPREFIX exported),
# after both presets are built; run on its own it prepares a session of its own.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# shellcheck source=lib/suite.sh
source tests/e2e/lib/suite.sh
e2e_session
version=0.3.0
RELEASE=$PWD/build/release
EXE=$RELEASE/vantro.exe
PROBE=$PWD/build/windows/tests/support/vantro_e2e_probe.exe
OBJDUMP=x86_64-w64-mingw32-objdump
WORK=$(mktemp -d "$PWD/build/e2e-release-exe.XXXXXX")
trap 'rm -rf "$WORK"; e2e_session_end' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The system DLLs of every Windows 10 and 11 installation that vantro links against; the
# runtime DLLs of mingw-w64 (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) and Visual C++
# redistributables are none of them.
system_dlls=" advapi32.dll comctl32.dll dwmapi.dll gdi32.dll kernel32.dll msvcrt.dll oleacc.dll
  ole32.dll oleaut32.dll shell32.dll user32.dll "

if [[ ! -f $EXE ]]; then
  fail "$EXE is missing: cmake --preset release && cmake --build --preset release"
  exit 1
fi
echo "build/release/vantro.exe: $(stat -c %s "$EXE") bytes"

# --- Copied anywhere, it runs on its own.
mkdir -p "$WORK/anywhere"
cp "$EXE" "$WORK/anywhere/vantro.exe"
timeout 60 wine "$WORK/anywhere/vantro.exe" --version >"$WORK/out" 2>"$WORK/err"
rc=$?
if [[ $rc == 0 ]] && [[ $(cat "$WORK/out") == "vantro $version" ]] && [[ ! -s $WORK/err ]]; then
  echo "ok: a copy of the release exe in a folder of its own prints \"vantro $version\" for --version"
else
  fail "--version of the copied release exe (rc $rc)"
  cat "$WORK/out" "$WORK/err"
fi

# --- Imports.
if ! "$OBJDUMP" -p "$EXE" >"$WORK/headers"; then
  fail "objdump -p $EXE"
else
  imports=$(sed -nE 's/^[[:space:]]*DLL Name: (.*)$/\1/p' "$WORK/headers" | tr '[:upper:]' '[:lower:]' | sort -u |
    tr '\n' ' ')
  foreign=
  for dll in $imports; do
    [[ $system_dlls == *" $dll "* ]] || foreign+=" $dll"
  done
  if [[ -n $imports && -z $foreign ]]; then
    echo "ok: the release exe imports only system DLLs (${imports% })"
  else
    fail "the release exe imports DLLs that Windows does not ship:${foreign:- (no imports read)}"
  fi
fi

# --- No debug information in the exe; it lives in vantro.debug, which the exe names.
if ! "$OBJDUMP" -h "$EXE" >"$WORK/sections"; then
  fail "objdump -h $EXE"
else
  debug_sections=$(awk '$2 ~ /^\.debug_/ {printf " %s", $2}' "$WORK/sections")
  if [[ -z $debug_sections ]] && grep -qE '^ +[0-9]+ \.text ' "$WORK/sections"; then
    echo "ok: the release exe carries no .debug_* sections"
  else
    fail "the release exe carries debug sections:$debug_sections"
  fi
  if grep -qE '^ +[0-9]+ \.gnu_debuglink ' "$WORK/sections" &&
    "$OBJDUMP" -s -j .gnu_debuglink "$EXE" | grep -qF 'vantro.debug' &&
    "$OBJDUMP" -h "$RELEASE/vantro.debug" 2>/dev/null | grep -qE '^ +[0-9]+ \.debug_info '; then
    echo "ok: the debug information is in vantro.debug beside it, named by the exe's debug link"
  else
    fail "no debug link from the release exe to a vantro.debug with .debug_info"
  fi
fi

# --- The version resource, as Windows reads it.
printf '%s\n' "fixed FileVersion=$version.0 ProductVersion=$version.0" "FileVersion=$version" \
  "ProductVersion=$version" "ProductName=vantro" "FileDescription=vantro" "OriginalFilename=vantro.exe" \
  >"$WORK/want-version"
for exe in "$EXE" "$PWD/build/windows/vantro.exe"; do
  name=${exe#"$PWD/"}
  if ! e2e_windows_path exe_w "$exe"; then
    fail "version resource of $name: no Windows path"
    continue
  fi
  timeout 30 wine "$PROBE" version-info "$exe_w" 2>/dev/null | tr -d '\r' >"$WORK/version"
  if cmp -s "$WORK/want-version" "$WORK/version"; then
    echo "ok: the version resource of $name reads $version (FileVersion, ProductVersion, ProductName, FileDescription, OriginalFilename)"
  else
    fail "version resource of $name"
    diff "$WORK/want-version" "$WORK/version"
  fi
done

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
