#!/usr/bin/env bash
# The LED page as a person uses it, under Wine against a simulated mouse: the zone buttons choose
# the light being edited, swatches, effects, the proximity switch, the brightness slider, a colour
# picked from the wheel (the swatch index stays), 300 typed into the red box (it shows 255); Apply
# writes exactly that into Profile1.cfg and the mouse (the constant-on colour scaled by its
# brightness); the mode chosen here is the mode the mouse page shows and the reverse; leaving the
# page and the program without Apply changes neither the mouse nor the file. Screenshots of the
# page in the English and the Chinese layout.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

# The page lies at (17, 129) of the main window.
PAGE_X=17
PAGE_Y=129

# at X Y: a click at a page point.
at() { input click "$E2E_TITLE" $(($1 + PAGE_X)) $(($2 + PAGE_Y)) || e2e_fail "no control at $1,$2"; }
# centre L T R B: the centre of a page rectangle, as "X Y".
centre() { echo "$((($1 + $3) / 2)) $((($2 + $4) / 2))"; }
# shellcheck disable=SC2046
click_rect() { at $(centre "$@"); }
led_tab() { input click "$E2E_TITLE" 290 102; }
mouse_tab() { input click "$E2E_TITLE" 110 102; }
# swatch_centre K: the centre of swatch K.
swatch_centre() {
  local r=$(($1 / 7)) c=$(($1 % 7)) d=0
  [ "$c" -gt 3 ] && d=1
  echo "$((270 + 40 * c - d)) $((260 + 41 * r))"
}
# shellcheck disable=SC2046
swatch() { at $(swatch_centre "$1"); }
led_mode() { click_rect 797 $((364 + 28 * $1)) 907 $((386 + 28 * $1)); }

# shot NAME: a screenshot of the main window with the pointer away from every control.
shot() {
  e2e_pointer_away "$id"
  e2e_shot "$id" "$shots/$1.png"
}
# pixel SHOT X Y: the colour at a page point of a screenshot, as 0x00BBGGRR.
pixel() {
  /usr/bin/python3 - "$1" $(($2 + PAGE_X)) $(($3 + PAGE_Y)) <<'PY'
import sys
from PIL import Image
r, g, b = Image.open(sys.argv[1]).convert("RGB").getpixel((int(sys.argv[2]), int(sys.argv[3])))
print("0x%08X" % (b << 16 | g << 8 | r))
PY
}
# sheet_pixel SHEET X Y: the same for a point of a sheet.
sheet_pixel() {
  /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import sys
from PIL import Image
r, g, b = Image.open(sys.argv[1]).convert("RGB").getpixel((int(sys.argv[2]), int(sys.argv[3])))
print("0x%08X" % (b << 16 | g << 8 | r))
PY
}
# shows_checked WHAT SHOT L T R B: the element at that rectangle shows its down look.
shows_checked() {
  local what=$1 shot=$2
  shift 2
  [ "$($match --at $PAGE_X $PAGE_Y "$shot" "$@" "$sheets/LedSet_down.bmp" "$sheets/LedSet_normal.bmp")" = A ] ||
    e2e_fail "$what does not show as chosen"
}
shows_plain() {
  local what=$1 shot=$2
  shift 2
  [ "$($match --at $PAGE_X $PAGE_Y "$shot" "$@" "$sheets/LedSet_normal.bmp" "$sheets/LedSet_down.bmp")" = A ] ||
    e2e_fail "$what shows as chosen"
}

# lighting MODE: the lighting fields of a mode in Profile1.cfg, one "name value" a line.
lighting() {
  /usr/bin/python3 - "$app/Profile/Profile1.cfg" "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
m = int(sys.argv[2])
def zoned(name, at, fmt="<i"):
    for z in (0, 1):
        v = struct.unpack_from(fmt, data, at + 4 * (m + 3 * z))[0]
        print("%s%d %s" % (name, z, ("0x%08X" % v) if fmt == "<I" else v))
zoned("colour", 0x20650, "<I")
zoned("swatch", 0x20668)
zoned("effect", 0x20680)
print("zone", struct.unpack_from("<i", data, 0x20698 + 4 * m)[0])
print("proximity", struct.unpack_from("<i", data, 0x206A4 + 4 * m)[0])
zoned("speed", 0x206B0)
zoned("brightness", 0x206C8)
PY
}
# expect_cfg MODE NAME VALUE
expect_cfg() {
  local got
  got=$(lighting "$1" | awk -v n="$2" '$1 == n { print $2 }')
  [ "$got" = "$3" ] || e2e_fail "Profile1.cfg mode $1: $2 is $got, not $3"
}
# param NAME: the three values (modes 0, 1, 2) the mouse holds for a parameter, as "a b c".
param() {
  e2e_dump "$state" | awk -v n="$1" '
    /^Parameters:/ { on = 1; next }
    /^Macro slots:/ { on = 0 }
    on { line = $0; sub(/^ *0x[0-9a-f]+ /, "", line)
         if (index(line, n) == 1) { sub(n, "", line); gsub(/^ +| +$/, "", line); gsub(/ +/, " ", line); print line; exit } }'
}
expect_param() {
  local got
  got=$(param "$1")
  [ "$got" = "$2" ] || e2e_fail "the mouse holds '$got' for $1, not '$2'"
}

# box_type L T R B TEXT: the edit box at that rectangle emptied and TEXT typed on the real
# keyboard (the pointer rests on the box, so the keys go to the program's window).
box_type() {
  local x=$((($1 + $3) / 2)) y=$((($2 + $4) / 2))
  at "$x" "$y"
  xdotool mousemove --window "$id" $((x + PAGE_X)) $((y + PAGE_Y))
  sleep 0.3
  xdotool key --delay 80 End BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 120 "$5"
  sleep 0.8
}

# ---- the English layout -------------------------------------------------------------------------
app=$(e2e_app_folder led-page)
state="$app/mouse.state"
sheets="$app/skins/Light"
e2e_new_mouse "$state"
e2e_start "$app/Q350Config.exe"
if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
  e2e_fail "the main window did not appear"
  e2e_finish
fi
sleep 1
led_tab
shot led-page
# A new profile: the wheel light is the zone shown, spectrum cycling its effect, the office mode,
# proximity sensing on; the current colour is the wheel light's red.
shows_checked "zone 1" "$shots/led-page.png" 26 105 141 149
shows_plain "zone 0" "$shots/led-page.png" 26 56 142 95
shows_checked "effect 4" "$shots/led-page.png" 283 72 489 95
shows_checked "mode 0" "$shots/led-page.png" 797 364 907 386
shows_checked "proximity on" "$shots/led-page.png" 282 29 352 46
[ "$(pixel "$shots/led-page.png" 272 215)" = 0x000000FF ] || e2e_fail "the current colour is not red"
start_md5=$(md5sum <"$app/Profile/Profile1.cfg")

# The wheel light: swatch 9, constant on, brightness at its top.
click_rect 26 105 141 149
swatch 9
click_rect 281 139 386 157
at 782 146  # the brightness slider's right end
shot led-page-wheel-light
[ "$(pixel "$shots/led-page-wheel-light.png" 272 215)" = 0x00FAC101 ] ||
  e2e_fail "swatch 9 did not become the current colour"
shows_checked "effect 1" "$shots/led-page-wheel-light.png" 281 139 386 157
shows_plain "effect 4 after effect 1" "$shots/led-page-wheel-light.png" 283 72 489 95

# The back-light: the page shows its own settings, then lights off, proximity sensing off, a
# swatch and a colour from the wheel, and 300 typed into the red box.
click_rect 26 56 142 95
shot led-page-back-light
[ "$(pixel "$shots/led-page-back-light.png" 272 215)" = 0x000000FF ] ||
  e2e_fail "the back-light does not show its own colour"
shows_checked "zone 0" "$shots/led-page-back-light.png" 26 56 142 95
shows_checked "effect 4 of the back-light" "$shots/led-page-back-light.png" 283 72 489 95
click_rect 748 72 864 92
click_rect 371 29 445 46
swatch 3
WHEEL_POINT=(815 270)
at "${WHEEL_POINT[@]}"
wheel=$(sheet_pixel "$sheets/LedSet_normal.bmp" "${WHEEL_POINT[@]}")
shot led-page-wheel
[ "$(pixel "$shots/led-page-wheel.png" 272 215)" = "$wheel" ] ||
  e2e_fail "the wheel's colour $wheel did not become the current colour"
shows_checked "effect 0" "$shots/led-page-wheel.png" 748 72 864 92
shows_checked "proximity off" "$shots/led-page-wheel.png" 371 29 445 46
box_type 754 231 784 250 300
# A click on the current mode's button takes the focus away from the box and changes nothing.
led_mode 0
shot led-page-typed
# The box now shows what it showed for the red 255 of the first view.
# shellcheck disable=SC2046
[ "$($match --same "$shots/led-page.png" "$shots/led-page-typed.png" $((754 + PAGE_X)) $((231 + PAGE_Y)) $((784 + PAGE_X)) $((250 + PAGE_Y)))" = same ] ||
  e2e_fail "300 typed into the red box does not show as 255"
expected0=$(printf '0x%08X' $(((wheel & 0xFFFF00) | 0xFF)))
[ "$(pixel "$shots/led-page-typed.png" 272 215)" = "$expected0" ] ||
  e2e_fail "300 in the red box did not make the colour $expected0"

apply "Apply"
expect_cfg 0 colour1 0x00FAC101
expect_cfg 0 swatch1 9
expect_cfg 0 effect1 1
expect_cfg 0 brightness1 9
expect_cfg 0 zone 0
expect_cfg 0 effect0 0
expect_cfg 0 proximity 0
expect_cfg 0 colour0 "$expected0"
expect_cfg 0 swatch0 3
expect_cfg 0 speed0 3
expect_cfg 0 speed1 3
expect_cfg 0 brightness0 5
expect_cfg 1 zone 1
expect_cfg 1 proximity 1
# The mouse: zone 0 of mode 0 unscaled (lights off), zone 1 of mode 0 constant on at brightness 9:
# the largest part 250 becomes 18/10 + 250 mod 23 + 230 = 251, the others keep their share. The
# other modes keep their spectrum cycling and colours.
w_red=$((expected0 & 0xFF)) w_green=$(((expected0 >> 8) & 0xFF)) w_blue=$(((expected0 >> 16) & 0xFF))
expect_param "zone 0 effect" "0 4 4"
expect_param "zone 0 red" "$w_red 0 255"
expect_param "zone 0 green" "$w_green 255 0"
expect_param "zone 0 blue" "$w_blue 255 255"
expect_param "zone 0 speed" "3 3 3"
expect_param "proximity sensing" "0 1 1"
expect_param "zone 1 effect" "1 4 4"
expect_param "zone 1 red" "1 0 255"
expect_param "zone 1 green" "193 255 0"
expect_param "zone 1 blue" "251 255 255"
expect_param "zone 1 speed" "3 3 3"

# One mode for both pages: FPS chosen here is the mode the mouse page shows, MOBA chosen there is
# the mode this page shows (with MOBA's own wheel light).
led_mode 2
mouse_tab
shot mouse-page-after-led
main_sheets="$app/skins"
[ "$($match --at $PAGE_X $PAGE_Y "$shots/mouse-page-after-led.png" 756 421 907 443 "$main_sheets/Q350_Main_Down.bmp" "$main_sheets/Q350_Main_Normal.bmp")" = A ] ||
  e2e_fail "FPS chosen on the LED page is not the mouse page's mode"
click_rect 756 392 907 415
led_tab
shot led-page-moba
shows_checked "MOBA chosen on the mouse page" "$shots/led-page-moba.png" 797 392 907 415
shows_plain "mode 0 after MOBA" "$shots/led-page-moba.png" 797 364 907 386
[ "$(pixel "$shots/led-page-moba.png" 272 215)" = 0x00FFFF00 ] || e2e_fail "MOBA's colour is not shown"

# Hover help: the band beside the colour sliders names the own-colour setting in the status line.
xdotool mousemove --window "$id" $((860 + PAGE_X)) $((232 + PAGE_Y))
sleep 0.8
e2e_shot "$id" "$shots/led-page-hint.png"
[ "$($match --same "$shots/led-page-hint.png" "$shots/led-page-moba.png" 70 600 310 630)" = different ] ||
  e2e_fail "no hint in the status line over the help band"

# Edits without Apply reach neither the file nor the mouse, neither when the page is left nor
# when the program ends.
led_mode 0
saved=$(md5sum <"$app/Profile/Profile1.cfg")
mouse_before=$(e2e_dump "$state")
click_rect 281 103 395 126
swatch 20
at 650 240  # red 255 x 38 / 119 = 81
mouse_tab
sleep 1
# The record in memory keeps them: back on the page they are shown again.
led_tab
shot led-page-unapplied
shows_checked "effect 2 kept in memory" "$shots/led-page-unapplied.png" 281 103 395 126
[ "$(pixel "$shots/led-page-unapplied.png" 272 215)" = 0x00160351 ] ||
  e2e_fail "the colour of swatch 20 with red 81 is not kept in memory"
mouse_tab
[ "$(md5sum <"$app/Profile/Profile1.cfg")" = "$saved" ] || e2e_fail "leaving the page changed Profile1.cfg"
[ "$(e2e_dump "$state")" = "$mouse_before" ] || e2e_fail "leaving the page changed the mouse"
input post "$E2E_TITLE" 16 0 0
e2e_exits "$E2E_PID" 30 || e2e_fail "the program did not end"
[ "$(md5sum <"$app/Profile/Profile1.cfg")" = "$saved" ] || e2e_fail "ending the program changed Profile1.cfg"
[ "$(e2e_dump "$state")" = "$mouse_before" ] || e2e_fail "ending the program changed the mouse"
[ "$saved" != "$start_md5" ] || e2e_fail "Apply saved nothing new"
e2e_cleanup
E2E_PIDS=()

# ---- the Chinese layout -------------------------------------------------------------------------
app=$(e2e_app_folder led-page-chinese)
state="$app/mouse.state"
sheets="$app/skins/chs/Light"
e2e_new_mouse "$state"
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
e2e_start "$app/Q350Config.exe"
if id=$(e2e_window_id "$E2E_TITLE" 60); then
  sleep 1
  led_tab
  shot led-page-chinese
  shows_checked "Chinese layout: zone 1" "$shots/led-page-chinese.png" 25 103 143 132
  shows_checked "Chinese layout: effect 4" "$shots/led-page-chinese.png" 282 70 423 96
  # The back-light: APM breathing, proximity sensing off, swatch 25, the speed slider's left end,
  # the green value typed.
  click_rect 24 66 143 95
  click_rect 468 70 630 99
  click_rect 282 28 366 50
  swatch 25
  at 539 114
  box_type 770 282 788 292 77  # the green box
  led_mode 0
  shot led-page-chinese-edited
  shows_checked "Chinese layout: zone 0" "$shots/led-page-chinese-edited.png" 24 66 143 95
  shows_checked "Chinese layout: effect 3" "$shots/led-page-chinese-edited.png" 468 70 630 99
  shows_checked "Chinese layout: proximity off" "$shots/led-page-chinese-edited.png" 282 28 366 50
  [ "$(pixel "$shots/led-page-chinese-edited.png" 272 215)" = 0x00B94D01 ] ||
    e2e_fail "Chinese layout: swatch 25 with green 77 is not the current colour"
  apply "Chinese layout"
  expect_cfg 0 zone 0
  expect_cfg 0 effect0 3
  expect_cfg 0 proximity 0
  expect_cfg 0 swatch0 25
  expect_cfg 0 colour0 0x00B94D01
  expect_cfg 0 speed0 0
  expect_cfg 0 effect1 4
  expect_param "zone 0 effect" "3 4 4"
  expect_param "zone 0 green" "77 255 0"
  expect_param "zone 0 speed" "0 3 3"
else
  e2e_fail "the main window did not appear in Chinese"
fi

e2e_finish
