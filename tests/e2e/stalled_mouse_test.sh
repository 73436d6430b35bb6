#!/usr/bin/env bash
# A mouse that stops taking reports in the middle of Apply: the program reports "Setting Error"
# within seconds and keeps the profile file as it was; Exit chosen while such a download runs ends
# the program within three seconds.
set -uo pipefail
exe=${1:?Q350Config.exe}
input_exe=${2:?e2e_input.exe}
. "$(dirname "$0")/lib.sh"
INFO=QuorvQ300InfoDlg
input() { WINELOADER="$(q350_wine_loader)" "$(q350_wine_loader)" "$input_exe" "$@" >/dev/null; }

# start_program NAME: a program folder and a mouse that stalls after the program's start-up
# queries; sets app, state, pid. False when no main window appeared.
start_program() {
  app=$(e2e_app_folder "$1")
  state="$app/mouse.state"
  e2e_new_mouse "$state" || { echo "no q350ctl at $E2E_Q350CTL"; exit 1; }
  debug="$app/debug.log"
  WINEDEBUG=-all,warn+seh e2e_start "$app/$(basename "$exe")" 2>"$debug"
  pid=$E2E_PID
  e2e_window_id "$E2E_TITLE" 15 >/dev/null || {
    e2e_start "$app/$(basename "$exe")"
    e2e_window_id "$E2E_TITLE" 45 >/dev/null
  } || return 1
  sleep 1
  # From the first report of the download on, nothing is taken.
  local taken
  taken=$("$E2E_Q350CTL" device dump --virtual "$state" --json |
    /usr/bin/python3 -c 'import json,sys; print(json.load(sys.stdin)["commandCount"])')
  "$E2E_Q350CTL" device virtual set "$state" --fault stall --fault-from "$taken" >/dev/null
}

profile_sum() { md5sum "$app/Profile/Profile1.cfg" 2>/dev/null | cut -d' ' -f1; }

# Apply against the stalled mouse.
if start_program stalled-apply; then
  before=$(profile_sum)
  start=$SECONDS
  input click "$E2E_TITLE" 880 612 || e2e_fail "no Apply button"
  if input wait "$INFO" 10; then
    [ $((SECONDS - start)) -le 10 ] || e2e_fail "Setting Error came after $((SECONDS - start)) s"
    grep -aq "download step failed" "$debug" || e2e_fail "the box is not the download's failure"
    [ "$(profile_sum)" = "$before" ] || e2e_fail "a failed Apply changed Profile1.cfg"
    input click "$INFO" 273 143
    input gone "$INFO" 5 || e2e_fail "the Setting Error box stayed open"
  else
    e2e_fail "a stalled Apply did not end in Setting Error within 10 s"
  fi
  kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended after the stalled Apply"
  # The program still closes at once.
  input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
  input menu-keys 10 up enter || e2e_fail "the icon's menu did not open"
  e2e_exits "$pid" 3 || e2e_fail "Exit after a stalled Apply took more than 3 s"
else
  e2e_fail "no main window for the stalled Apply"
fi

# Exit while the download waits on the stalled mouse.
if start_program stalled-exit; then
  input click "$E2E_TITLE" 880 612 || e2e_fail "no Apply button"
  sleep 0.3
  input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
  input menu-keys 10 up enter || e2e_fail "the icon's menu did not open during Apply"
  start=$SECONDS
  e2e_exits "$pid" 3 || e2e_fail "Exit during a stalled Apply did not end the program within 3 s"
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" <<'PY' || e2e_fail "Exit during a stalled Apply: Profile1.cfg is not whole"
import struct, sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if len(data) == 132832 and struct.unpack_from("<I", data)[0] == 0x80800350 else 1)
PY
else
  e2e_fail "no main window for the Exit during a stalled Apply"
fi
e2e_finish
