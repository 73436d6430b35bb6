#!/usr/bin/env bash
# Closes that arrive while something modal is open end the program cleanly, with the profile file
# whole: the mouse unplugged while the button setting panel is open, and "Exit" in the
# notification icon's menu while the one-Click rule's message box is open.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

PANEL=QuorvQ300Setting
INFO=QuorvQ300InfoDlg
PAGE_X=17
PAGE_Y=129
press() { input click "$1" "$2" "$3" || e2e_fail "no control to click at $2,$3 of $1"; }
# The upper labels 0 and 5 of the page in the English layout.
label_point() {
  case $1 in
    0) echo "$((129 + PAGE_X)) $((408 + PAGE_Y))" ;;
    5) echo "$((602 + PAGE_X)) $((408 + PAGE_Y))" ;;
  esac
}
open_label() {
  # shellcheck disable=SC2046
  press "$E2E_TITLE" $(label_point "$1")
  input wait "$PANEL" 10 || { e2e_fail "label $1 did not open the setting panel"; return 1; }
}

# start_program NAME: a program folder, a mouse, the program with its window; sets app, state,
# pid, debug.
start_program() {
  app=$(e2e_app_folder "$1")
  state="$app/mouse.state"
  e2e_new_mouse "$state"
  debug="$app/debug.log"
  WINEDEBUG=-all,err+seh,warn+seh e2e_start "$app/Q350Config.exe" 2>"$debug"
  pid=$E2E_PID
  e2e_window_id "$E2E_TITLE" 60 >/dev/null || return 1
  sleep 1
}

# ended_cleanly WHAT: the program has ended by itself, without a fault, and Profile1.cfg is whole.
ended_cleanly() {
  if ! e2e_exits "$pid" 40; then
    e2e_fail "$1: the program did not end"
    return
  fi
  local status=0
  wait "$pid" 2>/dev/null || status=$?
  [ "$status" -eq 0 ] || e2e_fail "$1: the program ended with status $status"
  if grep -aqi "page fault\|unhandled exception\|destroyed while its own code" "$debug"; then
    e2e_fail "$1: the program faulted on its way out"
  fi
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" <<'PY' || e2e_fail "$1: Profile1.cfg is not whole"
import struct, sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if len(data) == 132832 and struct.unpack_from("<I", data)[0] == 0x80800350 else 1)
PY
}

# The mouse is unplugged while the setting panel is open.
if start_program unplug-during-panel; then
  if open_label 5; then
    "$E2E_Q350CTL" device virtual set "$state" --plugged no >/dev/null
    ended_cleanly "unplugged during the setting panel"
  fi
else
  e2e_fail "no main window for the unplug during the setting panel"
fi

# Exit in the icon's menu while the one-Click rule's message box is open.
if start_program exit-during-message; then
  if open_label 0; then
    press "$PANEL" 255 50                  # the Base tab
    input wheel "$PANEL" 201 150 30
    press "$PANEL" 201 $((74 + 5 + 18 * 8))  # "Find" instead of Click
    press "$PANEL" 354 271                 # OK
    if input wait "$INFO" 10; then
      input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
      input menu-keys 10 up enter || e2e_fail "the icon's menu did not open over the message box"
      ended_cleanly "Exit during the click rule's message box"
    else
      e2e_fail "the click rule's message did not show"
    fi
  fi
else
  e2e_fail "no main window for the Exit during the message box"
fi
e2e_finish
