#!/usr/bin/env bash
# The mouse page as a person uses it, under Wine against a simulated mouse: button labels open the
# button setting panel, keys typed on the real keyboard reach the keyboard hook, every kind of
# function is assigned (key combination, basic function, disabled key, macro of a game, a program
# chosen in the system's file dialog), the one-Click rule refuses and then allows, Restore takes a
# button's macro away, Apply writes exactly that into the mouse and Profile1.cfg, a driver event of
# the program button opens the program, mode buttons show each mode's labels; screenshots of the
# page and of every panel tab in the English and the Chinese layout.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

PANEL=QuorvQ300Setting
INFO=QuorvQ300InfoDlg
# The page lies at (17, 129) of the main window.
PAGE_X=17
PAGE_Y=129

# press TITLE X Y: a click at a client point of the window with that title.
press() { input click "$1" "$2" "$3" || e2e_fail "no control to click at $2,$3 of $1"; }

# Centres of the labels in page coordinates: the lower row is shared, the upper row has a layout
# for Chinese words and one for the others.
LOWER=(70 168 264 361 458 554 651)
UPPER_OTHER=(129 203 286 385 501 602 676)
UPPER_CHINESE=(162 232 302 388 489 582 667)
# label_point K LAYOUT: the main window's client point of label K.
label_point() {
  local k=$1 x y
  if [ "$k" -lt 7 ]; then
    if [ "$2" = chinese ]; then x=${UPPER_CHINESE[$k]}; else x=${UPPER_OTHER[$k]}; fi
    y=408
  else
    x=${LOWER[$((k - 7))]}
    y=431
  fi
  echo "$((x + PAGE_X)) $((y + PAGE_Y))"
}
# open_label K [LAYOUT]: a click on label K; the setting panel opens.
open_label() {
  # shellcheck disable=SC2046
  press "$E2E_TITLE" $(label_point "$1" "${2:-other}")
  input wait "$PANEL" 10 || { e2e_fail "label $1 did not open the setting panel"; return 1; }
  PANEL_ID=$(xdotool search --onlyvisible --name "^$PANEL\$" | head -n 1)
}
panel() { press "$PANEL" "$1" "$2"; }
panel_ok() { panel 354 271; }
panel_closed() { input gone "$PANEL" 5 || e2e_fail "$1: the setting panel stayed open"; }
tab_combo() { panel 55 50; }
tab_macro() { panel 159 50; }
tab_base() { panel 255 50; }
tab_advanced() { panel 358 50; }
# base_row R: the basic-function list scrolled to its top, row R (0..9; row 9 shows only its top)
# clicked.
base_row() {
  input wheel "$PANEL" 201 150 30
  panel 201 $((74 + 5 + 18 * $1))
}
mode_button() { press "$E2E_TITLE" $((831 + PAGE_X)) $(((375 + 28 * $1) + PAGE_Y)); }
# info_box_shown SECONDS: the skinned message box is open (then closed with its OK).
info_box_shown() {
  input wait "$INFO" "$1" || return 1
  press "$INFO" 273 143
  input gone "$INFO" 5
}

# cfg MODE K: function, key word, advanced word, macro id, label and path of a button of
# Profile1.cfg, one per line.
cfg() {
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
base = 4 + (int(sys.argv[2]) * 14 + int(sys.argv[3])) * 0xC48
def text(at):
    raw = data[base + at: base + at + 520].decode("utf-16-le")
    return raw.split("\0", 1)[0]
print(struct.unpack_from("<i", data, base)[0])
print("0x%08X" % struct.unpack_from("<I", data, base + 0x0C)[0])
print("0x%08X" % struct.unpack_from("<I", data, base + 0x10)[0])
print("0x%08X" % struct.unpack_from("<I", data, base + 0x04)[0])
print(text(0x220))
print(text(0x14))
PY
}
# expect_cfg WHAT MODE K LINE VALUE: line LINE (1 function .. 6 path) of cfg is VALUE.
expect_cfg() {
  local got
  got=$(cfg "$2" "$3" | sed -n "${4}p")
  [ "$got" = "$5" ] || e2e_fail "$1: Profile1.cfg mode $2 button $3 holds '$got', not '$5'"
}
# word MODE BUTTON: the mouse's word for button BUTTON (1..14) of a mode, as q350ctl shows it.
word() {
  e2e_dump "$state" | awk -v m="$1" -v b="$2" '
    /^Buttons of mode/ { mode = $4 + 0 }
    $1 == "button" && $2 + 0 == b && mode == m { print $4; exit }'
}
expect_word() {
  local got
  got=$(word "$2" "$3")
  [ "$got" = "$4" ] || e2e_fail "$1: the mouse holds $got for button $3 of mode $2, not $4"
}
# slot_macro K: the macro id that the active slot (profile 1) keeps for button K of mode 0.
slot_macro() {
  local reg="$app/config.reg"
  rm -f "$reg"
  q350_wine reg export 'HKLM\Software\QUORV\Q350Config' "$(winepath_of "$reg")" >/dev/null 2>&1
  /usr/bin/python3 - "$reg" "$1" <<'PY'
import re, struct, sys
text = open(sys.argv[1], "rb").read().decode("utf-16")
m = re.search(r'"ConfigInfo"=hex:([0-9a-f,\\\s]*)', text)
raw = bytes(int(h, 16) for h in re.findall(r"[0-9a-f]{2}", m.group(1)))
print("0x%08X" % struct.unpack_from("<I", raw, 0x624 + int(sys.argv[2]) * 4)[0])
PY
}
winepath_of() { echo "Z:${1//\//\\}"; }
# put_macros FILE: a library with one macro of Battlefield 3 (group 1) and one of the player's own
# group (21).
put_macros() {
  /usr/bin/python3 - "$1" <<'PY'
import struct, sys
lib = bytearray(2052000)
def put(index, mid, name):
    at = index * 4104
    struct.pack_into("<6I", lib, at, 112, 0xE8E80010, mid, 0, 1, 2)
    struct.pack_into("<2I", lib, at + 24, 0xC0000041, 0xE0000041)
    lib[at + 0xFB8: at + 0xFB8 + 2 * len(name)] = name.encode("utf-16-le")
put(0, 0x15000001, "Custom one")
put(3, 0x01000005, "Grenade")
open(sys.argv[1], "wb").write(lib)
PY
}
# shot_panel NAME: a screenshot of the open setting panel.
shot_panel() {
  xdotool mousemove --window "$PANEL_ID" 200 20
  sleep 0.4
  e2e_shot "$PANEL_ID" "$shots/$1.png"
}

# ---- one session in the English layout ----------------------------------------------------------
app=$(e2e_app_folder mouse-page)
state="$app/mouse.state"
e2e_new_mouse "$state"
put_macros "$app/Macro.cfg"
export Q350_TOOL_LOG="Z:$app/tools.log"
e2e_start "$app/Q350Config.exe"
if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
  e2e_fail "the main window did not appear"
  e2e_finish
fi
sleep 1
e2e_pointer_away "$id"
e2e_shot "$id" "$shots/mouse-page.png"
sheets="$app/skins"

# Button 5: Ctrl + C from the real keyboard; every tab shown on the way.
open_label 5 && {
  shot_panel panel-combo
  xdotool mousemove --window "$PANEL_ID" 200 150
  sleep 0.3
  xdotool key --delay 120 ctrl+c
  sleep 0.8
  shot_panel panel-combo-ctrl-c
  tab_macro; shot_panel panel-macro
  tab_base; shot_panel panel-base
  tab_advanced; shot_panel panel-advanced
  tab_combo
  panel_ok
  panel_closed "Ctrl + C"
}

# The one-Click rule: button 0 cannot give up Click while it alone has it.
open_label 0 && {
  tab_base
  base_row 8  # "Find"
  panel_ok
  panel_closed "button 0"
  info_box_shown 10 || e2e_fail "the click rule's message did not show"
}
# Button 3 takes Click (row 9 of the basic list); then button 0 may change.
open_label 3 && { tab_base; base_row 9; panel_ok; panel_closed "button 3"; }
open_label 0 && { tab_base; base_row 8; panel_ok; panel_closed "button 0, second try"; }
info_box_shown 2 && e2e_fail "the click rule refused although button 3 has Click"

# Button 6 disabled.
open_label 6 && { panel 32 267; panel_ok; panel_closed "Disable key"; }

# Button 9: the macro of Battlefield 3 (game row 0).
open_label 9 && {
  tab_macro
  input wheel "$PANEL" 111 150 30
  panel 111 83   # game row 0
  panel 299 83   # its first macro
  shot_panel panel-macro-game
  panel_ok
  panel_closed "macro"
}

# Button 7 opens a program chosen in the system's file dialog.
program="$app/ScreenGrab.exe"
open_label 7 && {
  tab_advanced
  panel 332 144  # Browse of the program row
  if dialog=$(e2e_window_id "Open" 20); then
    xdotool mousemove --window "$dialog" 150 150
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$(winepath_of "$program")"
    xdotool key Return
    input gone "Open" 10 || e2e_fail "the file dialog stayed open"
  else
    e2e_fail "Browse did not open the file dialog"
  fi
  sleep 0.5
  shot_panel panel-advanced-program
  panel_ok
  panel_closed "program"
}

apply "first Apply"
expect_cfg "Ctrl + C" 0 5 1 5
expect_cfg "Ctrl + C" 0 5 2 0x06020002
expect_cfg "Ctrl + C" 0 5 5 "Ctrl + C"
expect_word "Ctrl + C" 0 6 0x06020002
expect_cfg "button 3 Click" 0 3 1 1
expect_word "button 3 Click" 0 4 0x00010003
expect_cfg "button 0 Find" 0 0 1 125
expect_cfg "disabled" 0 6 1 121
expect_word "disabled" 0 7 0x00000007
expect_cfg "macro" 0 9 1 6
expect_cfg "macro" 0 9 4 0x01000005
expect_cfg "macro" 0 9 5 "Grenade"
expect_word "macro" 0 10 0x00000005
[ "$(slot_macro 9)" = 0x01000005 ] || e2e_fail "macro: the slot does not keep the macro's id"
expect_cfg "program" 0 7 1 19
expect_cfg "program" 0 7 3 0x07C20004
expect_cfg "program" 0 7 6 "$(winepath_of "$program")"
expect_word "program" 0 8 0x07c20004

# The program button pressed on the mouse: the driver reports it and the program is opened.
sleep 2
"$E2E_Q350CTL" device virtual event "$state" 0x4000C207 >/dev/null || e2e_fail "queue the event"
deadline=$((SECONDS + 15))
until grep -q 'ScreenGrab.exe' "$app/tools.log" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
  sleep 0.3
done
grep -q 'ScreenGrab.exe' "$app/tools.log" 2>/dev/null || e2e_fail "the program button opened nothing"

# Restore gives button 9 its default back and takes the macro out of the slot.
open_label 9 && { panel 276 271; panel_closed "Restore"; }
# The mouse already holds everything else: this Apply writes button 10's word and nothing more.
commands() { "$E2E_Q350CTL" device dump --virtual "$state" | sed -n 's/.*commands received: //p'; }
sent_before=$(commands)
apply "Apply after Restore"
sent=$(( $(commands) - sent_before ))
[ "$sent" -eq 1 ] || e2e_fail "Apply after one change sent $sent commands, not 1"
expect_cfg "Restore" 0 9 1 147
expect_word "Restore" 0 10 0x00030002
[ "$(slot_macro 9)" = 0x00000000 ] || e2e_fail "Restore: the slot still names the macro"

# Modes: the FPS mode shows its own labels (button 5 unchanged there), office mode its own again,
# and the record is not touched (Profile1.cfg stays as saved).
e2e_pointer_away "$id"
before=$(md5sum <"$app/Profile/Profile1.cfg")
mode_button 2
e2e_pointer_away "$id"
e2e_shot "$id" "$shots/mouse-page-fps.png"
mode_button 0
e2e_pointer_away "$id"
e2e_shot "$id" "$shots/mouse-page-office.png"
label5="566 398 639 418"
# shellcheck disable=SC2086
[ "$($match --at $PAGE_X $PAGE_Y "$shots/mouse-page-fps.png" $label5 "$sheets/Q350_Main_Normal.bmp" "$sheets/Q350_Main_Down.bmp")" = A ] ||
  e2e_fail "FPS mode: label 5 shows as changed"
# shellcheck disable=SC2086
[ "$($match --at $PAGE_X $PAGE_Y "$shots/mouse-page-office.png" $label5 "$sheets/Q350_Main_Down.bmp" "$sheets/Q350_Main_Normal.bmp")" = A ] ||
  e2e_fail "office mode: label 5 does not show its key combination as a change"
# shellcheck disable=SC2086
[ "$($match --at $PAGE_X $PAGE_Y "$shots/mouse-page-fps.png" 756 421 907 443 "$sheets/Q350_Main_Down.bmp" "$sheets/Q350_Main_Normal.bmp")" = A ] ||
  e2e_fail "FPS mode: its mode button is not set"
[ "$(md5sum <"$app/Profile/Profile1.cfg")" = "$before" ] || e2e_fail "switching modes changed the profile"

# Hovering label 9 lights the shared marker spot.
press_point=$(label_point 9 other)
# shellcheck disable=SC2086
xdotool mousemove --window "$id" $press_point
sleep 1
e2e_shot "$id" "$shots/mouse-page-hover.png"
# shellcheck disable=SC2086
[ "$($match --at $PAGE_X $PAGE_Y "$shots/mouse-page-hover.png" 758 141 782 165 "$sheets/Q350_Main_Down.bmp" "$sheets/Q350_Main_Normal.bmp")" = A ] ||
  e2e_fail "hovering label 9 did not light its marker"

# Alt+F4 on the panel closes it like its close button: nothing changes, the hook lets go.
open_label 4 && {
  xdotool mousemove --window "$PANEL_ID" 200 150
  sleep 0.3
  xdotool key alt+F4
  panel_closed "Alt+F4"
}
e2e_cleanup
E2E_PIDS=()

# ---- the Chinese layout -------------------------------------------------------------------------
app=$(e2e_app_folder mouse-page-chinese)
state="$app/mouse.state"
e2e_new_mouse "$state"
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
# Button 12 of the office mode names a macro, but no macro of the library goes with it.
"$E2E_Q350CTL" profile new "$app/Profile/Profile1.cfg" >/dev/null
/usr/bin/python3 - "$app/Profile/Profile1.cfg" <<'PY'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    base = 4 + 12 * 0xC48
    f.seek(base)
    f.write(struct.pack("<ii", 6, 0x15000042))
PY
e2e_start "$app/Q350Config.exe"
if id=$(e2e_window_id "$E2E_TITLE" 60); then
  sleep 1
  e2e_pointer_away "$id"
  e2e_shot "$id" "$shots/mouse-page-chinese.png"
  open_label 0 chinese && {
    shot_panel panel-combo-chinese
    tab_macro; shot_panel panel-macro-chinese
    tab_base; shot_panel panel-base-chinese
    tab_advanced; shot_panel panel-advanced-chinese
    panel 397 12
    panel_closed "Chinese layout, close"
  }
  # Label 1 of the Chinese layout starts where label 0 of the other layout ends.
  open_label 1 chinese && { panel 32 267; panel_ok; panel_closed "Chinese layout, label 1"; }
  # Apply tells which button lost its macro before it saves; the mouse has that button off.
  before=$(mtime "$app/Profile/Profile1.cfg")
  press "$E2E_TITLE" 870 612
  if input wait "$INFO" 30; then
    e2e_shot "$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)" "$shots/missing-macro.png"
    press "$INFO" 273 143
  else
    e2e_fail "Apply did not tell of the button whose macro is missing"
  fi
  deadline=$((SECONDS + 20))
  until [ "$(mtime "$app/Profile/Profile1.cfg")" != "$before" ] || [ $SECONDS -ge $deadline ]; do
    sleep 0.3
  done
  sleep 0.5
  expect_cfg "Chinese layout, label 1" 0 1 1 121
  expect_word "missing macro" 0 13 0x00000007
else
  e2e_fail "the main window did not appear in Chinese"
fi

e2e_finish
