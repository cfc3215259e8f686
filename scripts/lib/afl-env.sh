# Sourced by scripts/fuzz and scripts/test: prepares AFL++ for the `fuzz` preset.
#
#   vantro_afl_prepare   fills build/afl (the AFL_PATH of the fuzz preset) and exports the
#                        environment afl-fuzz needs on these machines
#
# Debian 12's afl++ (4.04c-4) was built against gcc-12 12.2.0-14, while the archive now
# ships 12.2.0-14+deb12u1: the GCC plugin behind afl-g++-fast then refuses to load ("GCC and
# plugin have incompatible versions, expected GCC 12.2.0, is 12.2.0"), although the compiler
# release is the same and only the packaging revision in the configuration string differs.
# When that happens, build/afl gets a copy of the plugin whose version check is skipped (the
# one conditional jump after plugin_default_version_check); everything else is a symlink to
# /usr/lib/afl. When the packaged plugin loads, build/afl is symlinks only.

VANTRO_ROOT=${VANTRO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
VANTRO_AFL_PATH=$VANTRO_ROOT/build/afl

vantro_afl_log() { printf '[vantro] %s\n' "$*" >&2; }

# Succeeds when afl-g++-fast builds a trivial program with the plugin in $1.
vantro_afl_plugin_loads() {
  local dir probe
  dir=$(mktemp -d)
  probe='int main() { return 0; }'
  printf '%s\n' "$probe" >"$dir/probe.cpp"
  AFL_PATH=$1 AFL_QUIET=1 afl-g++-fast -o "$dir/probe" "$dir/probe.cpp" >/dev/null 2>&1
  local rc=$?
  rm -rf "$dir"
  return $rc
}

# Writes the copy of the plugin without the version check into $1.
vantro_afl_patch_plugin() {
  local plugin=/usr/lib/afl/afl-gcc-pass.so out=$1
  local jump
  # The conditional jump right after the call: "call ... <plugin_default_version_check@plt>",
  # "test %al,%al", "je ...".
  jump=$(objdump -d --no-show-raw-insn "$plugin" |
    awk '/call.*<plugin_default_version_check@plt>/ { getline t; getline j;
           if (t ~ /test +%al,%al/ && j ~ /je /) { sub(/:.*/, "", j); gsub(/ /, "", j); print j; exit } }')
  [[ -n $jump ]] || { vantro_afl_log "afl-gcc-pass.so: version check not found"; return 1; }
  # Virtual address to file offset through the .text section header.
  local vma off
  read -r vma off < <(objdump -h "$plugin" | awk '$2 == ".text" { print $4, $6 }')
  local file_off=$((0x$jump - 0x$vma + 0x$off))
  local bytes
  bytes=$(od -An -tx1 -j "$file_off" -N 2 "$plugin" | tr -d ' \n')
  [[ $bytes == 0f84 ]] || { vantro_afl_log "afl-gcc-pass.so: unexpected bytes $bytes at $file_off"; return 1; }
  cp "$plugin" "$out.tmp"
  printf '\x90\x90\x90\x90\x90\x90' | dd of="$out.tmp" bs=1 seek="$file_off" conv=notrunc status=none
  mv "$out.tmp" "$out"
}

vantro_afl_prepare() {
  command -v afl-g++-fast >/dev/null || { vantro_afl_log "afl-g++-fast missing: run scripts/bootstrap"; return 1; }
  if [[ ! -e $VANTRO_AFL_PATH/.ready ]]; then
    rm -rf "$VANTRO_AFL_PATH"
    mkdir -p "$VANTRO_AFL_PATH"
    local f
    for f in /usr/lib/afl/*; do ln -s "$f" "$VANTRO_AFL_PATH/"; done
    if ! vantro_afl_plugin_loads "$VANTRO_AFL_PATH"; then
      vantro_afl_log "afl-g++-fast: packaged GCC plugin refuses this gcc build; using a copy without its version check"
      rm "$VANTRO_AFL_PATH/afl-gcc-pass.so"
      vantro_afl_patch_plugin "$VANTRO_AFL_PATH/afl-gcc-pass.so" || return 1
      vantro_afl_plugin_loads "$VANTRO_AFL_PATH" || { vantro_afl_log "afl-g++-fast still fails"; return 1; }
    fi
    touch "$VANTRO_AFL_PATH/.ready"
  fi
  export AFL_PATH=$VANTRO_AFL_PATH
  # afl-fuzz on these machines: no UI, no CPU binding (other fuzzers and builds share the
  # cores), no governor check, and core dumps are plain files (core_pattern "core").
  export AFL_NO_UI=1 AFL_NO_AFFINITY=1 AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
  export AFL_QUIET=1
}
