#!/usr/bin/env bash
# Q350Config.exe starts under Wine against a simulated mouse and shows its main window with the
# title other programs look for (woken by a second start when the system was up only briefly);
# "Exit" in its notification icon's menu ends it; chosen while Apply writes into a mouse that takes
# its time, it ends the program once the download is done, with the profile saved whole.
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

# Exit during Apply.
app=$(e2e_app_folder exit-during-apply)
state="$app/mouse.state"
e2e_new_mouse "$state" --timing on
e2e_start "$app/$(basename "$exe")"
pid=$E2E_PID
if id=$(e2e_window_id "$E2E_TITLE" 15) || {
  e2e_start "$app/$(basename "$exe")"
  id=$(e2e_window_id "$E2E_TITLE" 45)
}; then
  sleep 1
  rm -f "$app/Profile/Profile1.cfg"
  input click "$E2E_TITLE" 880 612 || e2e_fail "no Apply button"
  sleep 0.5
  input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
  input menu-keys 10 up enter || e2e_fail "the icon's menu did not open during Apply"
  e2e_exits "$pid" 90 || e2e_fail "Exit during Apply did not end the program"
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" <<'PY' || e2e_fail "Exit during Apply: Profile1.cfg is not whole"
import struct, sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if len(data) == 132832 and struct.unpack_from("<I", data)[0] == 0x80800350 else 1)
PY
  ref="$app/reference.state"
  "$E2E_Q350CTL" device virtual new "$ref" >/dev/null
  "$E2E_Q350CTL" profile apply "$app/Profile/Profile1.cfg" --virtual "$ref" >/dev/null 2>&1
  "$E2E_Q350CTL" device virtual set "$ref" --timing on >/dev/null
  diff <(e2e_dump "$state") <(e2e_dump "$ref") >/dev/null ||
    e2e_fail "Exit during Apply: the mouse does not hold the whole profile"
else
  e2e_fail "no main window for the Exit during Apply"
fi
e2e_finish
