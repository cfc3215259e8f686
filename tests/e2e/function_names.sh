#!/usr/bin/env bash
# No function name is defined in two of the files that one shell reads: the script and every
# library it sources, followed through the libraries' own source lines. The definition read
# last would replace the other without a word, and every caller of the first would run the
# second. Checked for each script of tests/e2e, bench and scripts that sources a library.
# Needs no Wine session; run by scripts/test with the other suites and on its own alike.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
failures=0

# The files that FILE sources, as paths from the top of the checkout: the scripts run from
# there, the libraries name the others from $E2E_ROOT or $VANTRO_ROOT.
sourced_by() {
  sed -nE 's/^[[:space:]]*(source|\.)[[:space:]]+"?([^"[:space:]]+)"?.*$/\2/p' "$1" |
    sed -E 's#^\$\{?(E2E_ROOT|VANTRO_ROOT)\}?/##'
}

# The names of the functions that FILE defines, one a line.
functions_of() {
  sed -nE 's/^[[:space:]]*(function[[:space:]]+)?([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*\(\)[[:space:]]*(\{.*)?$/\2/p' "$1" |
    sort -u
}

for script in tests/e2e/*.sh bench/*.sh scripts/*; do
  if [[ ! -f $script ]] || ! head -n 1 "$script" | grep -q bash; then continue; fi
  files=("$script")
  unresolved=
  for ((i = 0; i < ${#files[@]}; i++)); do
    while read -r lib; do
      [[ -n $lib ]] || continue
      if [[ ! -f $lib ]]; then
        unresolved+=" $lib (in ${files[$i]})"
        continue
      fi
      [[ " ${files[*]} " == *" $lib "* ]] || files+=("$lib")
    done < <(sourced_by "${files[$i]}")
  done
  ((${#files[@]} > 1)) || [[ -n $unresolved ]] || continue
  if [[ -n $unresolved ]]; then
    echo "FAIL: $script: cannot follow what it sources:$unresolved"
    failures=$((failures + 1))
    continue
  fi
  clashes=$(for file in "${files[@]}"; do functions_of "$file" | sed "s#\$# $file#"; done |
    awk '{where[$1] = where[$1] " " $2; n[$1]++} END {for (f in n) if (n[f] > 1) print f " in" where[f]}' | sort)
  if [[ -z $clashes ]]; then
    echo "ok: $script and what it sources (${files[*]:1}) define no function twice"
  else
    echo "FAIL: $script reads functions of the same name from two files:"
    sed 's/^/    /' <<<"$clashes"
    failures=$((failures + 1))
  fi
done

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
