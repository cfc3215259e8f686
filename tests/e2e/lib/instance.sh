# Helpers for suites that start vantro.exe in the background themselves and keep its PID in
# $instance (sourced by tests/e2e/command_line.sh and tests/e2e/settings.sh).

# Waits (bounded) for the instance started last to end; sets rc to its exit code or "timeout".
wait_instance() {
  rc=timeout
  for _ in $(seq 1 200); do
    if ! kill -0 "$instance" 2>/dev/null; then
      wait "$instance"
      rc=$?
      return
    fi
    sleep 0.1
  done
  kill "$instance" 2>/dev/null
}
