#!/usr/bin/env bash
# The statistics page under Wine against a simulated mouse: driver events queued in the mouse
# (left, middle, right, wheel and a word that counts nothing) and real pointer moves are counted
# and are in the registry within seconds while the program runs; a killed program loses nothing
# of that; a wrong-typed registry value loses only itself; a high count shows the top trophy,
# icons and a full level bar; the reset question declined changes nothing, confirmed zeroes
# everything at once; screenshots of the page at level 0, at the top level, after the reset and
# in the Chinese layout.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

INFO=QuorvQ300InfoDlg
STS='HKLM\Software\QUORV\Q350Config\STS'
# The page lies at (17, 129) of the main window.
PAGE_X=17
PAGE_Y=129
NAMES=(LeftClickCount MidClickCount RightClickCount ScrollUpCount ScrollDownCount Distance)

press() { input click "$1" "$2" "$3" || e2e_fail "no control to click at $2,$3 of $1"; }

# stored NAME: a counter as the registry holds it (decimal), "wrong:TYPE" for a value that is
# not 4 binary bytes, "none" when it is not there.
stored() {
  q350_wine reg query "$STS" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '
    $1 == n {
      if ($2 != "REG_BINARY" || length($3) != 8) { print "wrong:" $2; found = 1; exit }
      v = 0
      for (i = 7; i >= 1; i -= 2) v = v * 256 + ("0x" substr($3, i, 2)) + 0
      printf "%d\n", v; found = 1; exit
    }
    END { if (!found) print "none" }'
}
# all_stored: the six counters in their order, blank-separated.
all_stored() {
  local n out=()
  for n in "${NAMES[@]}"; do out+=("$(stored "$n")"); done
  echo "${out[*]}"
}
# plant NAME VALUE: a 4-byte binary counter put into the registry.
plant() {
  local hex
  hex=$(printf '%08x' "$2")
  q350_wine reg add "$STS" /v "$1" /t REG_BINARY /d "${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}" /f \
    >/dev/null 2>&1 || e2e_fail "could not plant $1"
}
# wait_stored SECONDS NAME VALUE: true once the registry holds that value.
wait_stored() {
  local deadline=$((SECONDS + $1))
  until [ "$(stored "$2")" = "$3" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.5
  done
}
event() { "$E2E_Q350CTL" device virtual event "$state" "$1" >/dev/null || e2e_fail "queue $1"; }

start_program() {
  e2e_start "$app/Q350Config.exe"
  if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
    e2e_fail "the main window did not appear"
    e2e_finish
  fi
  # The driver link registers on the first tick of its one-second timer.
  sleep 3
}
# stop_program: "Exit" in the notification icon's menu (the shell posts 1132 with WM_RBUTTONUP),
# waited for.
stop_program() {
  input post "$E2E_TITLE" 1132 0 517 || e2e_fail "no window to send the icon's click to"
  input menu-keys 10 up enter || e2e_fail "the notification icon's menu did not open"
  e2e_exits "$E2E_PID" 30 || { e2e_fail "the program did not end"; kill "$E2E_PID"; }
  wait "$E2E_PID" 2>/dev/null
}
show_page() {
  press "$E2E_TITLE" 660 103  # page tab 4
  e2e_pointer_away "$id"
  sleep 0.5
}
# at SHOT L T R B SHEET_A SHEET_B: which sheet the page rectangle of the screenshot shows.
at() { $match --at $PAGE_X $PAGE_Y "$@"; }
# drawn SHOT SHEET L T R B: whether something is drawn over the sheet in that page rectangle.
drawn() {
  /usr/bin/python3 - "$@" $PAGE_X $PAGE_Y <<'PY'
import sys
from PIL import Image, ImageChops, ImageStat
shot, sheet = Image.open(sys.argv[1]).convert("RGB"), Image.open(sys.argv[2]).convert("RGB")
l, t, r, b, dx, dy = (int(v) for v in sys.argv[3:9])
diff = ImageChops.difference(shot.crop((l + dx, t + dy, r + dx, b + dy)), sheet.crop((l, t, r, b)))
print("drawn" if max(ImageStat.Stat(diff).extrema[0][1], ImageStat.Stat(diff).extrema[1][1]) > 60 else "blank")
PY
}
icon_rect() { local r=$(($1 / 5)) c=$(($1 % 5)); echo "$((647 + 50 * c)) $((132 + 58 * r)) $((690 + 50 * c)) $((182 + 58 * r))"; }
# icons_lit SHOT: the trophy icons that show their lit face, as a string of 0 and 1.
icons_lit() {
  local j lit=""
  for j in $(seq 0 12); do
    # shellcheck disable=SC2046
    if [ "$(at "$1" $(icon_rect "$j") "$sheets/Sts_Down.bmp" "$sheets/Sts_Normal.bmp")" = A ]; then
      lit+=1
    else
      lit+=0
    fi
  done
  echo "$lit"
}
trophy_of() {
  at "$1" 309 0 607 451 "$sheets/trophy/trophy$2Down.bmp" "$sheets/trophy/trophy$3Down.bmp"
}

# ---- counting and keeping -----------------------------------------------------------------------
app=$(e2e_app_folder statistics-page)
state="$app/mouse.state"
sheets="$app/skins"
e2e_new_mouse "$state"
start_program
[ "$(all_stored)" = "none none none none none none" ] || e2e_fail "counters before anything was counted: $(all_stored)"

xdotool mousemove 100 100
sleep 1.5
for w in 0x0001 0x8B01 0x0B01 0x0004 0x0002 0x0101 0x101B 0x1FFB 0x0003 0x4000C900; do event "$w"; done
# Real pointer moves: 200 right and 150 down, then back.
xdotool mousemove 300 250
sleep 1.5
xdotool mousemove 100 100
sleep 1.5
started=$SECONDS
if wait_stored 15 ScrollDownCount 1; then
  echo "counted and stored $((SECONDS - started)) s after the last move: $(all_stored)"
else
  e2e_fail "the counts did not reach the registry within seconds: $(all_stored)"
fi
wait_stored 6 LeftClickCount 3 || e2e_fail "left clicks: $(stored LeftClickCount), not 3"
[ "$(stored MidClickCount)" = 1 ] || e2e_fail "middle clicks: $(stored MidClickCount)"
[ "$(stored RightClickCount)" = 1 ] || e2e_fail "right clicks: $(stored RightClickCount)"
[ "$(stored ScrollUpCount)" = 2 ] || e2e_fail "wheel up: $(stored ScrollUpCount)"
distance=$(stored Distance)
{ [[ $distance =~ ^[0-9]+$ ]] && [ "$distance" -ge 700 ]; } ||
  e2e_fail "pointer travel: $distance, not at least 700"
# Windows ends the session: the counters are written at once. The periodic save writes only when
# something was counted, so a value changed behind the program's back shows that write (once the
# last travel is stored and the pointer rests).
settled=$(all_stored)
sleep 6
until [ "$(all_stored)" = "$settled" ]; do settled=$(all_stored); sleep 6; done
plant LeftClickCount 999
input post "$E2E_TITLE" 17 0 0  # WM_QUERYENDSESSION
wait_stored 2 LeftClickCount 3 || e2e_fail "the end of the session did not write the counters"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended at the end-of-session query"

show_page
e2e_shot "$id" "$shots/statistics-page.png"
[ "$(icons_lit "$shots/statistics-page.png")" = 1000000000000 ] ||
  e2e_fail "level 0: the trophy icons lit are $(icons_lit "$shots/statistics-page.png")"
[ "$(trophy_of "$shots/statistics-page.png" 0 12)" = A ] || e2e_fail "level 0: not the first trophy"
# The level bar: its first 20 pixels filled, the rest empty.
[ "$(at "$shots/statistics-page.png" 635 67 655 74 "$sheets/Sts_Down.bmp" "$sheets/Sts_Normal.bmp")" = A ] ||
  e2e_fail "level 0: the level bar shows no fill"
[ "$(at "$shots/statistics-page.png" 660 67 898 74 "$sheets/Sts_Normal.bmp" "$sheets/Sts_Down.bmp")" = A ] ||
  e2e_fail "level 0: the level bar is filled too far"
for box in "152 85 227 106" "152 183 227 203" "152 384 227 404"; do
  # shellcheck disable=SC2086
  [ "$(drawn "$shots/statistics-page.png" "$sheets/Sts_Normal.bmp" $box)" = drawn ] ||
    e2e_fail "no number drawn at $box"
done

# Killed a few seconds after counting: what was counted is kept.
before=$(all_stored)
event 0x0001
wait_stored 15 LeftClickCount 4 || e2e_fail "the fourth click was not stored while running"
kill -9 "$E2E_PID"
wait "$E2E_PID" 2>/dev/null
[ "$(stored LeftClickCount)" = 4 ] || e2e_fail "the kill lost the fourth click"

# ---- a wrong-typed value loses only itself ------------------------------------------------------
q350_wine reg add "$STS" /v MidClickCount /t REG_DWORD /d 5 /f >/dev/null 2>&1
start_program
event 0x0101
wait_stored 15 ScrollUpCount 3 || e2e_fail "after the wrong value: wheel up $(stored ScrollUpCount), not 3"
[ "$(stored MidClickCount)" = 0 ] || e2e_fail "the wrong-typed value was not replaced by 0: $(stored MidClickCount)"
[ "$(stored LeftClickCount)" = 4 ] || e2e_fail "the wrong-typed value cost the left clicks: $(stored LeftClickCount)"
[ "$(stored RightClickCount)" = 1 ] || e2e_fail "the wrong-typed value cost the right clicks"
[ "$(stored ScrollDownCount)" = 1 ] || e2e_fail "the wrong-typed value cost the wheel steps down"
d=$(stored Distance)
{ [[ $d =~ ^[0-9]+$ ]] && [ "$d" -ge "$distance" ]; } || e2e_fail "the wrong-typed value cost the travel"
stop_program
echo "before the kill: $before; after the wrong value: $(all_stored)"

# ---- the top level, and the reset ---------------------------------------------------------------
plant LeftClickCount 10000000
start_program
show_page
e2e_shot "$id" "$shots/statistics-page-level12.png"
[ "$(icons_lit "$shots/statistics-page-level12.png")" = 1111111111111 ] ||
  e2e_fail "top level: the trophy icons lit are $(icons_lit "$shots/statistics-page-level12.png")"
[ "$(trophy_of "$shots/statistics-page-level12.png" 12 0)" = A ] || e2e_fail "top level: not the top trophy"
[ "$(at "$shots/statistics-page-level12.png" 635 67 898 74 "$sheets/Sts_Down.bmp" "$sheets/Sts_Normal.bmp")" = A ] ||
  e2e_fail "top level: the level bar is not full"

# The button and wheel counters (the travel goes on with every move of the pointer).
counts() { all_stored | cut -d' ' -f1-5; }
kept=$(counts)
press "$E2E_TITLE" $((760 + PAGE_X)) $((386 + PAGE_Y))
if input wait "$INFO" 10; then
  sleep 0.5
  info_id=$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)
  e2e_shot "$info_id" "$shots/statistics-reset-question.png"
  press "$INFO" 278 143  # Cancel
  input gone "$INFO" 5 || e2e_fail "the question stayed open after Cancel"
else
  e2e_fail "the reset button asked nothing"
fi
sleep 1
[ "$(counts)" = "$kept" ] || e2e_fail "a declined reset changed the registry: $(all_stored)"
travel=$(stored Distance)

press "$E2E_TITLE" $((760 + PAGE_X)) $((386 + PAGE_Y))
if input wait "$INFO" 10; then
  press "$INFO" 211 143  # OK
  input gone "$INFO" 5 || e2e_fail "the question stayed open after OK"
  sleep 1
  # Zeroed in the registry at once, without waiting for the next save.
  [ "$(all_stored)" = "0 0 0 0 0 0" ] || e2e_fail "the reset left $(all_stored) in the registry"
  e2e_pointer_away "$id"
  sleep 0.5
  e2e_shot "$id" "$shots/statistics-page-reset.png"
  [ "$(icons_lit "$shots/statistics-page-reset.png")" = 1000000000000 ] ||
    e2e_fail "after the reset: the trophy icons lit are $(icons_lit "$shots/statistics-page-reset.png")"
  [ "$(trophy_of "$shots/statistics-page-reset.png" 0 12)" = A ] ||
    e2e_fail "after the reset: not the first trophy"
else
  e2e_fail "the second reset asked nothing"
fi
stop_program
after=$(stored Distance)
{ [ "$(counts)" = "0 0 0 0 0" ] && [ "$after" -lt "$travel" ]; } ||
  e2e_fail "closing after the reset left $(all_stored)"
e2e_cleanup
E2E_PIDS=()

# ---- the Chinese layout -------------------------------------------------------------------------
app=$(e2e_app_folder statistics-page-chinese)
state="$app/mouse.state"
sheets="$app/skins"
e2e_new_mouse "$state"
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
plant LeftClickCount 1234567
plant ScrollUpCount 600000
plant Distance 123456
start_program
show_page
e2e_shot "$id" "$shots/statistics-page-chinese.png"
chs="$sheets/chs"
# The Chinese sheets, not the others.
[ "$(at "$shots/statistics-page-chinese.png" 14 40 150 420 "$chs/Sts_Normal.bmp" "$sheets/Sts_Normal.bmp")" = A ] ||
  e2e_fail "Chinese layout: the page does not show the Chinese sheets"
for box in "167 85 242 106" "167 250 242 270" "187 384 262 404"; do
  # shellcheck disable=SC2086
  [ "$(drawn "$shots/statistics-page-chinese.png" "$chs/Sts_Normal.bmp" $box)" = drawn ] ||
    e2e_fail "Chinese layout: no number drawn at $box"
done
# 1,234,567 clicks reach level 3.
[ "$(icons_lit "$shots/statistics-page-chinese.png")" = 1111000000000 ] ||
  e2e_fail "Chinese layout: the trophy icons lit are $(icons_lit "$shots/statistics-page-chinese.png")"
[ "$(trophy_of "$shots/statistics-page-chinese.png" 3 4)" = A ] || e2e_fail "Chinese layout: not the trophy of level 3"
# The question in Chinese, declined.
press "$E2E_TITLE" $((760 + PAGE_X)) $((386 + PAGE_Y))
if input wait "$INFO" 10; then
  sleep 0.5
  info_id=$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)
  e2e_shot "$info_id" "$shots/statistics-reset-question-chinese.png"
  press "$INFO" 278 143
  input gone "$INFO" 5 || e2e_fail "Chinese layout: the question stayed open after Cancel"
else
  e2e_fail "Chinese layout: the reset button asked nothing"
fi
stop_program
[ "$(stored LeftClickCount)" = 1234567 ] || e2e_fail "Chinese layout: the declined reset cost the clicks"

e2e_finish
