#!/usr/bin/env bash
# The performance half of the mouse page as a person uses it, under Wine against a simulated mouse:
# presets unticked and ticked, a report rate, pointer precision, one screen per wheel notch, lift-off
# one lower, a mode switch and back; Apply puts exactly that into Profile1.cfg, the mouse and
# Windows' pointer settings, and leaves the other modes alone. In the slider form a level's X
# slider moves its Y slider while they are linked. Screenshots of both forms in both layouts.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

# page X Y: a click at a page point (the page lies at (17, 129) of the main window).
page() { input click "$E2E_TITLE" $(($1 + 17)) $(($2 + 129)) || e2e_fail "nothing to click at $1,$2"; }
# fields FILE MODE: the performance fields of one mode of a profile file, one "name value" a line.
fields() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
m = int(sys.argv[2])
def per_mode(offset):
    return struct.unpack_from("<i", data, offset + 4 * m)[0]
dpi_x = [struct.unpack_from("<i", data, 0x203D4 + 4 * (20 * m + s))[0] for s in range(20)]
dpi_y = [struct.unpack_from("<i", data, 0x204C4 + 4 * (20 * m + s))[0] for s in range(20)]
print("presets", *dpi_x[:4])
print("levels-x", *dpi_x[10:14])
print("levels-y", *dpi_y[10:14])
print("list-mode", per_mode(0x205E4))
print("xy-separate", per_mode(0x205F0))
print("top-level", per_mode(0x205FC))
print("lift", per_mode(0x20608))
print("report-rate", per_mode(0x20614))
print("pointer-speed", per_mode(0x20620))
print("scroll-lines", per_mode(0x2062C))
print("precision", per_mode(0x20638))
print("double-click", per_mode(0x20644))
PY
}
# expect FIELD VALUE: the field of mode 0 in Profile1.cfg.
expect() {
  local got
  got=$(fields "$app/Profile/Profile1.cfg" 0 | awk -v f="$1" '$1 == f { $1 = ""; sub(/^ /, ""); print }')
  [ "$got" = "$2" ] || e2e_fail "Profile1.cfg: $1 of the office mode is '$got', not '$2'"
}
# param NAME: the values of a parameter line of the mouse (one per mode).
param() { e2e_dump "$state" | grep -F "$1" | awk '{ print $(NF-3), $(NF-2), $(NF-1), $NF }'; }
# registry KEY VALUE: what Windows stored for one of its settings.
registry() {
  q350_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { print $3 }'
}
reference="$Q350_BUILD_DIR/e2e/performance-reference.cfg"
rm -f "$reference"
"$E2E_Q350CTL" profile new "$reference" >/dev/null

# ---- the preset form, office mode ---------------------------------------------------------------
app=$(e2e_app_folder performance-page)
state="$app/mouse.state"
e2e_new_mouse "$state"
e2e_start "$app/Q350Config.exe"
if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
  e2e_fail "the main window did not appear"
  e2e_finish
fi
sleep 1
e2e_pointer_away "$id"
e2e_shot "$id" "$shots/performance-presets.png"

page 194 88    # 1000 off
page 130 110   # 3200 on
page 326 110   # 8200: a fifth level is refused
page 606 60    # 250 Hz
page 530 157   # enhance pointer precision off
page 575 290   # one screen per notch
page 592 311   # lift -
page 831 403   # MOBA mode ...
page 831 375   # ... and back
apply "preset form"
expect presets "16 18 24 32"
expect top-level 3
expect report-rate 2
expect precision 0
expect scroll-lines -1
expect lift 15
for m in 1 2; do
  diff <(fields "$app/Profile/Profile1.cfg" $m) <(fields "$reference" $m) >/dev/null ||
    e2e_fail "mode $m changed although only the office mode was edited"
done
[ "$(param 'DPI X levels of mode 0')" = "32 36 48 64" ] ||
  e2e_fail "the mouse's office DPI levels are $(param 'DPI X levels of mode 0')"
[ "$(param 'report-rate code' | cut -d' ' -f2-)" = "2 8 8" ] ||
  e2e_fail "the mouse's report rates are $(param 'report-rate code')"
[ "$(param 'lift-off value' | cut -d' ' -f2-)" = "15 16 16" ] ||
  e2e_fail "the mouse's lift-off values are $(param 'lift-off value')"
# Windows holds the office mode's pointer settings: one screen per notch, no acceleration.
[ "$(registry 'HKCU\Control Panel\Desktop' WheelScrollLines)" = 4294967295 ] ||
  e2e_fail "Windows scrolls $(registry 'HKCU\Control Panel\Desktop' WheelScrollLines) lines, not a screen"
[ "$(registry 'HKCU\Control Panel\Mouse' MouseSpeed)" = 0 ] ||
  e2e_fail "Windows still accelerates the pointer"

# ---- the slider form ----------------------------------------------------------------------------
page 108 142   # DPI levels by slider
e2e_pointer_away "$id"
e2e_shot "$id" "$shots/performance-sliders.png"
page 250 228   # on the level-2 X track, linked with Y
apply "slider form"
expect list-mode 0
x=$(fields "$app/Profile/Profile1.cfg" 0 | awk '$1 == "levels-x" { print $3 }')
y=$(fields "$app/Profile/Profile1.cfg" 0 | awk '$1 == "levels-y" { print $3 }')
[ "$x" != 16 ] || e2e_fail "a click on the level-2 X track did not move it"
[ "$x" = "$y" ] || e2e_fail "level 2: X is $x but the linked Y is $y"
page 150 170   # X and Y separately
page 150 228   # the X track again
apply "slider form, separate"
x2=$(fields "$app/Profile/Profile1.cfg" 0 | awk '$1 == "levels-x" { print $3 }')
y2=$(fields "$app/Profile/Profile1.cfg" 0 | awk '$1 == "levels-y" { print $3 }')
[ "$x2" != "$x" ] && [ "$y2" = "$y" ] || e2e_fail "separate: X $x -> $x2 and Y $y -> $y2"
e2e_cleanup
E2E_PIDS=()

# ---- the Chinese layout -------------------------------------------------------------------------
app=$(e2e_app_folder performance-page-chinese)
state="$app/mouse.state"
e2e_new_mouse "$state"
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
e2e_start "$app/Q350Config.exe"
if id=$(e2e_window_id "$E2E_TITLE" 60); then
  sleep 1
  e2e_pointer_away "$id"
  e2e_shot "$id" "$shots/performance-presets-chinese.png"
  page 108 142
  page 518 250   # the lines choice of the Chinese layout
  page 637 246   # lines +
  e2e_pointer_away "$id"
  e2e_shot "$id" "$shots/performance-sliders-chinese.png"
  apply "Chinese layout"
  expect list-mode 0
  expect scroll-lines 4
else
  e2e_fail "the main window did not appear in Chinese"
fi
e2e_finish
