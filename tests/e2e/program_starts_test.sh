#!/usr/bin/env bash
# Q350Config.exe starts under Wine against a simulated mouse and shows its main window with the
# title other programs look for (woken by a second start when the system was up only briefly).
set -uo pipefail
exe=${1:?Q350Config.exe}
. "$(dirname "$0")/lib.sh"

app=$(e2e_app_folder starts)
e2e_new_mouse "$app/mouse.state" || { echo "no q350ctl at $E2E_Q350CTL"; exit 1; }
e2e_start "$app/$(basename "$exe")"
first=$E2E_PID
if ! id=$(e2e_window_id "$E2E_TITLE" 15); then
  e2e_start "$app/$(basename "$exe")"
  id=$(e2e_window_id "$E2E_TITLE" 45) || e2e_fail "no window titled '$E2E_TITLE' appeared"
fi
if [ -n "${id:-}" ]; then
  sleep 1
  e2e_shot "$id" "$Q350_BUILD_DIR/screenshots/program-starts.png" ||
    e2e_fail "no screenshot of the main window"
fi
kill -0 "$first" 2>/dev/null || e2e_fail "the program ended by itself"
e2e_finish
