# Helpers for whole-program tests; source after the harness sets Q350_BUILD_DIR and Q350_WINE_TOOLS.
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY

E2E_PIDS=()
E2E_FAILURES=0

e2e_fail() { echo "FAIL: $*"; E2E_FAILURES=$((E2E_FAILURES + 1)); }

# e2e_start EXE [ARGS...]: starts a Windows program in the background; its pid is in E2E_PID.
e2e_start() {
  local loader
  loader=$(q350_wine_loader)
  WINELOADER="$loader" "$loader" "$@" &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# Ends every program this test started (by pid).
e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap e2e_cleanup EXIT

# e2e_window_id TITLE SECONDS: prints the X window id of a visible window with that exact title.
e2e_window_id() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  return 1
}

e2e_finish() {
  if [ "$E2E_FAILURES" -ne 0 ]; then exit 1; fi
  echo "$(basename "$0" .sh): all checks passed"
}
