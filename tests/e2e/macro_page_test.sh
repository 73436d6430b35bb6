#!/usr/bin/env bash
# The macro page as a person uses it, under Wine against a simulated mouse: a new macro recorded
# from real key presses that go through the keyboard hook (A and B with the pauses between them),
# the hold option, the macro put on button 3 with the setting panel's macro tab and Apply, which
# writes it into Macro.cfg, Profile1.cfg, the slot table and the mouse's first macro slot; deleting
# a macro in use is refused; a 50 ms pause inserted after a 7 ms pause gives one 57 ms item; a
# rename survives a restart; screenshots in the English and the Chinese layout.
set -uo pipefail
input_exe=${1:?e2e_input.exe}
. "$(dirname "$0")/lib.sh"
shots="$Q350_BUILD_DIR/screenshots"
loader=$(q350_wine_loader)
mkdir -p "$shots"

if [ ! -x "$E2E_Q350CTL" ]; then
  echo "q350ctl not found at $E2E_Q350CTL (build the native tree of the same build root)"
  exit 1
fi

PANEL=QuorvQ300Setting
INFO=QuorvQ300InfoDlg
# The page lies at (17, 129) of the main window.
PAGE_X=17
PAGE_Y=129

input() { WINELOADER="$loader" "$loader" "$input_exe" "$@" >/dev/null; }
# at X Y: a click at a page point.
at() { input click "$E2E_TITLE" $(($1 + PAGE_X)) $(($2 + PAGE_Y)) || e2e_fail "no control at $1,$2"; }
macro_tab() { input click "$E2E_TITLE" 470 102; sleep 0.5; }
mouse_tab() { input click "$E2E_TITLE" 110 102; sleep 0.5; }
# Controls of the page (their centres).
record() { at 841 36; sleep 0.5; }
new_macro() { at 46 426; sleep 0.3; }
delete_macro() { at 108 426; sleep 0.3; }
hold_option() { at 715 141; sleep 0.3; }
insert_event() { at 376 426; sleep 0.3; }
pause_type() { at 720 397; sleep 0.3; }
pause_ok() { at 872 422; sleep 0.5; }
# Rows of the lists: 20 pixels each from the list's top.
macro_row() { at 150 $((89 + 10 + 20 * $1)); sleep 0.3; }
event_row() { at 450 $((51 + 10 + 20 * $1)); sleep 0.3; }
# keys_here KEYS...: real key presses with the pointer over the program's window.
keys_here() {
  xdotool mousemove --window "$id" 480 300
  sleep 0.3
  xdotool key --delay 150 "$@"
  sleep 0.8
}
shot() {
  xdotool mousemove --window "$id" 480 30
  sleep 0.5
  e2e_shot "$id" "$shots/$1.png"
}

# macro FILE ID: the repeat rule and the events of a macro of a library file, as
# "repeat 0x0001 C0 41 A0 12 E0 41" (pauses in milliseconds), and its name on a second line.
macro() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
want = int(sys.argv[2], 0)
for at in range(0, len(data), 4104):
    size, tag, mid, _, rep, n = struct.unpack_from("<6I", data, at)
    if mid != want or (size <= 107 and tag >> 16 != 0xE8E8):
        continue
    words = struct.unpack_from("<%dI" % n, data, at + 24)
    out = ["repeat 0x%04X" % (rep & 0xFFFF)]
    for w in words:
        out.append("%02X %d" % (w >> 24, w & 0xFFFFFF) if w >> 24 == 0xA0 else "%02X %02X" % (w >> 24, w & 0xFFFFFF))
    print(" ".join(out))
    print(data[at + 0xFB8: at + 0xFB8 + 80].decode("utf-16-le").split("\0", 1)[0])
    break
PY
}
# ids FILE GROUP: the ids of the macros of a group in library order.
ids() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
for at in range(0, len(data), 4104):
    size, tag, mid = struct.unpack_from("<3I", data, at)
    if (size > 107 or tag >> 16 == 0xE8E8) and mid >> 24 == int(sys.argv[2]):
        print("0x%08X" % mid)
PY
}
# put_macros FILE: a library with one macro of the player's own group: A pressed and released.
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
put(1, 0x01000005, "Grenade")
open(sys.argv[1], "wb").write(lib)
PY
}
# cfg_button MODE K: function and macro id of a button of Profile1.cfg, one line.
cfg_button() {
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
base = 4 + (int(sys.argv[2]) * 14 + int(sys.argv[3])) * 0xC48
print("%d 0x%08X" % struct.unpack_from("<iI", data, base))
PY
}
winepath_of() { echo "Z:${1//\//\\}"; }
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
# program FILE ID: the mouse's macro program of a library macro, as q350ctl's dump shows a slot.
program() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys
usage = {0x41: 0x04, 0x42: 0x05}
data = open(sys.argv[1], "rb").read()
want = int(sys.argv[2], 0)
for at in range(0, len(data), 4104):
    size, tag, mid, _, rep, n = struct.unpack_from("<6I", data, at)
    if mid != want:
        continue
    entries = []
    for w in struct.unpack_from("<%dI" % n, data, at + 24):
        if w >> 24 == 0xA0:
            entries[-1][0] |= ((w & 0xFFFFFF) // 10) << 1
        else:
            entries.append([1 if w >> 24 == 0xC0 else 0, usage[w & 0xFF]])
    body = struct.pack("<HH", 4 + 3 * len(entries), rep & 0xFFFF)
    for e in entries:
        body += struct.pack("<HB", e[0], e[1])
    print(body.hex())
    break
PY
}
# slot_bytes N: the bytes the mouse keeps in macro slot N, as hex.
slot_bytes() {
  "$E2E_Q350CTL" device dump --virtual "$state" --json |
    /usr/bin/python3 -c "import json, sys; print(json.load(sys.stdin)['macroSlots'][$1]['bytes'].replace(' ', ''))"
}
mtime() { stat -c %y "$1" 2>/dev/null || echo none; }
# apply: presses Apply and waits until Profile1.cfg is written again.
apply() {
  local before
  before=$(mtime "$app/Profile/Profile1.cfg")
  input click "$E2E_TITLE" 870 612
  local deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(mtime "$app/Profile/Profile1.cfg")" != "$before" ] && { sleep 0.5; return 0; }
    sleep 0.3
  done
  e2e_fail "$1: Apply did not save Profile1.cfg"
  return 1
}
info_box() {
  input wait "$INFO" "$1" || return 1
  [ -n "${2:-}" ] && e2e_shot "$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)" "$shots/$2.png"
  input click "$INFO" 273 143
  input gone "$INFO" 5
}
# stop_program: ends the program and waits until its window is gone.
stop_program() {
  e2e_cleanup
  E2E_PIDS=()
  local deadline=$((SECONDS + 15))
  while [ $SECONDS -lt $deadline ] &&
    xdotool search --onlyvisible --name "^$E2E_TITLE\$" >/dev/null 2>&1; do
    sleep 0.3
  done
}
start_program() {
  e2e_start "$app/Q350Config.exe"
  if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
    e2e_fail "the main window did not appear"
    e2e_finish
  fi
  sleep 1
}

# ---- the English layout -------------------------------------------------------------------------
app=$(e2e_app_folder macro-page)
state="$app/mouse.state"
e2e_new_mouse "$state"
put_macros "$app/Macro.cfg"
start_program
macro_tab
shot macro-page

# A new macro, recorded from the real keyboard: A and B typed one after the other.
new_macro
record
keys_here a b
shot macro-page-recording
record
new_id=$(ids "$app/Macro.cfg" 21 | sed -n 2p)
[ -n "$new_id" ] || e2e_fail "the recording was not stored as a new macro"
got=$(macro "$app/Macro.cfg" "${new_id:-0}" | sed -n 1p)
echo "recorded: $got"
[[ "$got" =~ ^repeat\ 0x0001\ C0\ 41\ A0\ [0-9]+\ E0\ 41\ A0\ [0-9]+\ C0\ 42\ A0\ [0-9]+\ E0\ 42$ ]] ||
  e2e_fail "the recording holds '$got'"
[ "$(macro "$app/Macro.cfg" "${new_id:-0}" | sed -n 2p)" = "New Macro" ] || e2e_fail "the new macro's name"
hold_option
got=$(macro "$app/Macro.cfg" "${new_id:-0}" | sed -n 1p)
[[ "$got" =~ ^repeat\ 0xFFFF\ C0\ 41 ]] || e2e_fail "the hold option stored '$got'"
shot macro-page-recorded

# Button 3 plays it: the setting panel's macro tab opens on the player's own group with its last
# macro, the new one, selected.
mouse_tab
input click "$E2E_TITLE" $((385 + PAGE_X)) $((408 + PAGE_Y))
if input wait "$PANEL" 10; then
  input click "$PANEL" 159 50
  sleep 0.5
  input click "$PANEL" 354 271
  input gone "$PANEL" 5 || e2e_fail "the setting panel stayed open"
else
  e2e_fail "label 3 did not open the setting panel"
fi
apply "Apply"
[ "$(cfg_button 0 3)" = "6 ${new_id:-none}" ] || e2e_fail "Profile1.cfg button 3 holds $(cfg_button 0 3)"
[ "$(slot_macro 3)" = "${new_id:-none}" ] || e2e_fail "the slot does not keep the macro for button 3"
want=$(program "$app/Macro.cfg" "${new_id:-0}")
got=$(slot_bytes 0)
[ -n "$want" ] && [ "$got" = "$want" ] || e2e_fail "the mouse's slot 0 holds '$got', not '$want'"

# The macro in use cannot be deleted: the refusal is told and the macro stays.
macro_tab
delete_macro
info_box 10 macro-in-use || e2e_fail "deleting the macro in use was not refused"
[ -n "$(macro "$app/Macro.cfg" "${new_id:-0}")" ] || e2e_fail "the macro in use was deleted"

# A 7 ms pause inserted between A pressed and A released of "Custom one", then 50 ms right after
# it: one item of 57 ms.
macro_row 0
event_row 1
insert_event
pause_type
keys_here 7
pause_ok
got=$(macro "$app/Macro.cfg" 0x15000001 | sed -n 1p)
[ "$got" = "repeat 0x0001 C0 41 A0 7 E0 41" ] || e2e_fail "the 7 ms pause: '$got'"
event_row 2
insert_event
pause_type
keys_here 5 0
pause_ok
got=$(macro "$app/Macro.cfg" 0x15000001 | sed -n 1p)
[ "$got" = "repeat 0x0001 C0 41 A0 57 E0 41" ] || e2e_fail "the 50 ms pause after 7 ms: '$got'"
shot macro-page-pause

# The unused macro can go.
new_macro
new_macro
[ "$(ids "$app/Macro.cfg" 21 | wc -l)" = 2 ] || e2e_fail "new macros without events were stored"

# A key pressed after the recording stopped goes nowhere: the hook is off.
before=$(md5sum <"$app/Macro.cfg")
keys_here c
[ "$(md5sum <"$app/Macro.cfg")" = "$before" ] || e2e_fail "a key after the recording changed Macro.cfg"

# Leaving the page ends a recording: it is stored, and the keys after it go nowhere.
macro_row 1
record
keys_here d
mouse_tab
keys_here e
got=$(macro "$app/Macro.cfg" "${new_id:-0}" | sed -n 1p)
[[ "$got" =~ ^repeat\ 0xFFFF\ C0\ 44\ A0\ [0-9]+\ E0\ 44$ ]] ||
  e2e_fail "leaving the page while recording stored '$got'"
macro_tab

# The left mouse-button picture clicked while recording records virtual key 1.
macro_row 2
record
at 731 238
shot macro-page-picture
record
got=$(macro "$app/Macro.cfg" "$(ids "$app/Macro.cfg" 21 | sed -n 3p)" | sed -n 1p)
[[ "$got" =~ ^repeat\ 0x0001\ C0\ 01\ A0\ [0-9]+\ E0\ 01$ ]] || e2e_fail "the left-button picture recorded '$got'"

# The group menu: Battlefield 3 lists its own macro; the new macro without events is gone when
# the player's own group is listed again.
new_macro
at 175 59
if input wait-owned "$E2E_TITLE" Q350SkinMenuPopup 5; then
  xdotool mousemove --window "$id" 480 30
  sleep 0.5
  import -window root "$shots/macro-page-groups.png"
  input click-owned "$E2E_TITLE" Q350SkinMenuPopup 60 12
  sleep 0.8
  shot macro-page-group-1
else
  e2e_fail "the group button opened no menu"
fi
# choose_group N: group N from the menu.
choose_group() {
  at 175 59
  input wait-owned "$E2E_TITLE" Q350SkinMenuPopup 5 || { e2e_fail "no group menu"; return 1; }
  input click-owned "$E2E_TITLE" Q350SkinMenuPopup 60 $((24 * ($1 - 1) + 12))
  sleep 0.8
}
choose_group 21
shot macro-page-group-21
[ "$(ids "$app/Macro.cfg" 21 | wc -l)" = 3 ] || e2e_fail "the player's group holds $(ids "$app/Macro.cfg" 21 | wc -l) macros"

# Rename "Custom one" in place (double click, type, Enter); it survives a restart.
xdotool mousemove --window "$id" $((150 + PAGE_X)) $((99 + PAGE_Y)) sleep 0.3 click --repeat 2 --delay 80 1
sleep 0.6
xdotool key ctrl+a
xdotool type --delay 60 "Combo"
# A click elsewhere on the page ends the edit (the program drops Enter before any window sees it).
at 200 450
sleep 0.8
shot macro-page-renamed
[ "$(macro "$app/Macro.cfg" 0x15000001 | sed -n 2p)" = "Combo" ] || e2e_fail "the rename was not stored"
[ "$(macro "$app/Macro.cfg" 0x15000001 | sed -n 1p)" = "repeat 0x0001 C0 41 A0 57 E0 41" ] ||
  e2e_fail "the rename changed the events"
stop_program
start_program
macro_tab
shot macro-page-restarted
[ "$(macro "$app/Macro.cfg" 0x15000001 | sed -n 2p)" = "Combo" ] || e2e_fail "the rename did not survive the restart"
stop_program

# ---- the Chinese layout -------------------------------------------------------------------------
app=$(e2e_app_folder macro-page-chinese)
state="$app/mouse.state"
e2e_new_mouse "$state"
put_macros "$app/Macro.cfg"
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
start_program
macro_tab
shot macro-page-chinese
new_macro
record
keys_here x
shot macro-page-chinese-recording
record
new_id=$(ids "$app/Macro.cfg" 21 | sed -n 2p)
got=$(macro "$app/Macro.cfg" "${new_id:-0}")
[[ "$(echo "$got" | sed -n 1p)" =~ ^repeat\ 0x0001\ C0\ 58\ A0\ [0-9]+\ E0\ 58$ ]] ||
  e2e_fail "Chinese layout: the recording holds '$got'"
[ "$(echo "$got" | sed -n 2p)" = "新建宏" ] || e2e_fail "Chinese layout: the new macro's name"
# The editor's two kinds of event, then the key kind capturing a key through the hook.
event_row 0
insert_event
at 713 348
keys_here y
shot macro-page-chinese-editor
at 872 372
got=$(macro "$app/Macro.cfg" "${new_id:-0}" | sed -n 1p)
[[ "$got" =~ ^repeat\ 0x0001\ C0\ 59\ E0\ 59\ C0\ 58 ]] || e2e_fail "Chinese layout: the key insert gave '$got'"
at 175 59
if input wait-owned "$E2E_TITLE" Q350SkinMenuPopup 5; then
  xdotool mousemove --window "$id" 480 30
  sleep 0.5
  import -window root "$shots/macro-page-chinese-groups.png"
  input click-owned "$E2E_TITLE" Q350SkinMenuPopup 60 $((24 * 20 + 12))
else
  e2e_fail "Chinese layout: the group button opened no menu"
fi
stop_program

# ---- without the menu library the page works on and the group button does nothing --------------
app=$(e2e_app_folder macro-page-no-menu)
e2e_new_mouse "$app/mouse.state"
put_macros "$app/Macro.cfg"
rm -f "$app/SkinMenu.dll"
start_program
macro_tab
at 175 59
sleep 1
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "without SkinMenu.dll the group button ended the program"
new_macro
record
keys_here z
record
[ "$(ids "$app/Macro.cfg" 21 | wc -l)" = 2 ] || e2e_fail "without SkinMenu.dll the recording was not stored"
stop_program

e2e_finish
