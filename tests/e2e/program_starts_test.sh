#!/usr/bin/env bash
# Q350Config.exe starts under Wine against a simulated mouse and shows its main window with the
# title other programs look for (woken by a second start when the system was up only briefly);
# "Exit" in its notification icon's menu ends it.
set -uo pipefail
exe=${1:?Q350Config.exe}
input_exe=${2:?e2e_input.exe}
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

# A right click on the notification icon (the shell posts 1132 with WM_RBUTTONUP, 517) opens the
# icon's menu; "Exit", its last item, ends the program.
input() { WINELOADER="$(q350_wine_loader)" "$(q350_wine_loader)" "$input_exe" "$@" >/dev/null; }
input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
sleep 1
import -window root "$Q350_BUILD_DIR/screenshots/tray-menu.png" || true
input menu-keys 10 up enter || e2e_fail "the notification icon's menu did not open"
e2e_exits "$first" 20 || e2e_fail "Exit in the notification icon's menu did not end the program"
e2e_finish
