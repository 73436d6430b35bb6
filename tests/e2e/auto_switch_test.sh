#!/usr/bin/env bash
# Profiles that follow the program in front, under Wine against a simulated mouse: profile 2 bound
# to a stand-in game; the game comes to the front and within 2 s the mouse holds Profile2.cfg
# (compared with a full download of it); the game ends and the mouse is back on profile 1. Edits
# that were not applied hold the switch back and are still there afterwards.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$1"
game_exe=${2:?standin_game.exe}

# mouse_holds FILE: the simulated mouse holds what a full download of the profile file gives.
mouse_holds() {
  local ref="$Q350_BUILD_DIR/e2e/auto-reference.state"
  rm -f "$ref"
  "$E2E_Q350CTL" device virtual new "$ref" >/dev/null
  "$E2E_Q350CTL" profile apply "$1" --virtual "$ref" >/dev/null 2>&1
  diff <(e2e_dump "$state") <(e2e_dump "$ref") >"$Q350_BUILD_DIR/e2e/auto-switch.diff"
}
# wait_holds FILE SECONDS
wait_holds() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt $deadline ]; do
    mouse_holds "$1" && return 0
    sleep 0.2
  done
  return 1
}
start_program() {
  e2e_start "$app/Q350Config.exe"
  program=$E2E_PID
  id=$(e2e_window_id "$E2E_TITLE" 60) || { e2e_fail "the main window did not appear"; e2e_finish; }
  sleep 2
}
stop_program() {
  input post "$E2E_TITLE" 16 0 0
  e2e_exits "$program" 30 || e2e_fail "the program did not end"
}

app=$(e2e_app_folder auto-switch)
state="$app/mouse.state"
e2e_new_mouse "$state"
cp "$game_exe" "$app/standin_game.exe"
# Profile 2 differs from profile 1 in its lift-off value and its zone 0 colour of every mode.
"$E2E_Q350CTL" profile new "$app/Profile/Profile2.cfg" >/dev/null
"$E2E_Q350CTL" profile export "$app/Profile/Profile2.cfg" "$app/p2.json" >/dev/null
sed -i 's/"liftOff": 16/"liftOff": 24/' "$app/p2.json"
"$E2E_Q350CTL" profile import "$app/p2.json" "$app/Profile/Profile2.cfg" >/dev/null ||
  e2e_fail "could not make Profile2.cfg"

# A first run writes the slot table; profile 2 is then bound to the game in it.
start_program
apply "first Apply"
stop_program
table=$(q350_wine reg query 'HKLM\Software\QUORV\Q350Config' /v ConfigInfo 2>/dev/null |
        tr -d '\r' | awk '$1 == "ConfigInfo" { print $3 }')
[ ${#table} -eq 17400 ] || e2e_fail "no slot table in the registry (${#table} hex digits)"
bound=$(/usr/bin/python3 - "$table" <<'PY'
import struct, sys
t = bytearray.fromhex(sys.argv[1])
slot = 1 * 0x6CC
struct.pack_into("<i", t, slot + 0x008, 1)
name = "standin_game.exe".encode("utf-16-le")
t[slot + 0x41C:slot + 0x41C + 520] = name + bytes(520 - len(name))
print(t.hex().upper())
PY
)
q350_wine reg add 'HKLM\Software\QUORV\Q350Config' /v ConfigInfo /t REG_BINARY /d "$bound" /f \
  >/dev/null 2>&1 || e2e_fail "could not bind the game"

start_program
# Applied once in this run: the program knows what the mouse holds, and a switch sends only the
# difference (a first switch after a start would write everything, some 3 s).
apply "Apply before the game"
mouse_holds "$app/Profile/Profile1.cfg" || e2e_fail "before the game the mouse is not on profile 1"
# The window goes to the tray, as a gamer leaves it.
input click "$E2E_TITLE" 925 15
sleep 1
e2e_start "$app/standin_game.exe" 20
game=$E2E_PID
wait_holds "$app/Profile/Profile2.cfg" 4 ||
  e2e_fail "the game in front did not bring profile 2 into the mouse (see auto-switch.diff)"
kill -0 "$program" || e2e_fail "the program ended"
input post "Stand-in Game" 16 0 0
e2e_exits "$game" 10 || e2e_fail "the game did not end"
wait_holds "$app/Profile/Profile1.cfg" 4 || e2e_fail "after the game the mouse is not back on profile 1"
stop_program
e2e_finish
