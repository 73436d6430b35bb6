#!/usr/bin/env bash
# Q350Config.exe as a person uses it, under Wine against a simulated mouse: a missing mouse, a mouse
# in its update mode, then one run that is hidden to the tray and woken by a second start, writes
# the default profile into the mouse, switches to profile 3 and writes that, goes through the twelve
# languages (a screenshot of each) and ends when the mouse is unplugged. The clicks are pointer
# messages posted to the controls under the points a person would click (win/e2e_input.cpp).
set -uo pipefail
input_exe=${1:?e2e_input.exe}
. "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
match="/usr/bin/python3 $here/sheet_match.py"
shots="$Q350_BUILD_DIR/screenshots"
loader=$(q350_wine_loader)

if [ ! -x "$E2E_Q350CTL" ]; then
  echo "q350ctl not found at $E2E_Q350CTL (build the native tree of the same build root)"
  exit 1
fi

# input ARGS...: the pointer-message driver (see win/e2e_input.cpp).
input() { WINELOADER="$loader" "$loader" "$input_exe" "$@" >/dev/null; }
# press X Y: a click on the main window's control at that client point.
press() { input click "$E2E_TITLE" "$1" "$2" || e2e_fail "no control to click at $1,$2"; }

# mtime FILE: modification time to the nanosecond, or "none".
mtime() { stat -c %y "$1" 2>/dev/null || echo none; }
# wait_changed FILE OLD SECONDS: true once the file's time differs from OLD.
wait_changed() {
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(mtime "$1")" != "$2" ] && return 0
    sleep 0.5
  done
  return 1
}
# expect_mouse_holds STATE PROFILE WHAT: the mouse holds what q350ctl writes for the profile.
expect_mouse_holds() {
  local ref="$Q350_BUILD_DIR/e2e/reference.state"
  rm -f "$ref"
  "$E2E_Q350CTL" device virtual new "$ref" >/dev/null
  "$E2E_Q350CTL" profile apply "$2" --virtual "$ref" >/dev/null 2>&1
  if ! diff <(e2e_dump "$1") <(e2e_dump "$ref") >"$Q350_BUILD_DIR/e2e/mouse.diff"; then
    e2e_fail "$3: the mouse does not hold the profile (see $Q350_BUILD_DIR/e2e/mouse.diff)"
  fi
}

# ---- no mouse: the notice closes by itself and the program ends ----------------------------------
app=$(e2e_app_folder absent)
e2e_new_mouse "$app/mouse.state" --plugged no
e2e_start "$app/Q350Config.exe"
e2e_exits "$E2E_PID" 40 || e2e_fail "without a mouse the program did not end"

# ---- the mouse in its update mode: the program hands over and ends --------------------------------
app=$(e2e_app_folder update)
e2e_new_mouse "$app/mouse.state" --firmware 0
Q350_TOOL_LOG="Z:$app/tools.log" e2e_start "$app/Q350Config.exe"
e2e_exits "$E2E_PID" 30 || e2e_fail "with the mouse in update mode the program did not end"
[ -f "$app/Profile/Profile1.cfg" ] || e2e_fail "update mode: the profiles were not loaded first"
deadline=$((SECONDS + 15))
until grep -q 'FwFlash.exe' "$app/tools.log" 2>/dev/null || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
grep -qi 'update.*FwFlash.exe.* -QUORV' "$app/tools.log" 2>/dev/null ||
  e2e_fail "update mode: the flasher was not started from the update folder with -QUORV"

# ---- a whole session ------------------------------------------------------------------------------
app=$(e2e_app_folder session)
state="$app/mouse.state"
e2e_new_mouse "$state"
mkdir -p "$app/Profile"
"$E2E_Q350CTL" profile new "$app/Profile/Profile3.cfg" >/dev/null
# Profile 3 differs from the defaults in its office-mode lift-off value (offset 0x20608).
/usr/bin/python3 - "$app/Profile/Profile3.cfg" <<'PY'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0x20608)
    f.write(struct.pack("<i", 12))
PY

e2e_start "$app/Q350Config.exe"
first=$E2E_PID
if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
  e2e_fail "the program showed no window"
  e2e_finish
fi
input wait "$E2E_TITLE" 10 || e2e_fail "the window is not visible to Windows programs"
sleep 1
e2e_shot "$id" "$shots/main-window.png"

# The close button hides the window to the tray; a second start shows it again and ends.
press 940 18
input gone "$E2E_TITLE" 10 || e2e_fail "the close button did not hide the window"
e2e_start "$app/Q350Config.exe"
second=$E2E_PID
e2e_exits "$second" 30 || e2e_fail "the second copy did not end"
input wait "$E2E_TITLE" 10 || e2e_fail "the second start did not show the first copy's window"
kill -0 "$first" 2>/dev/null || e2e_fail "the first copy ended"
sleep 1

# Apply writes the default profile into the mouse and saves profile 1.
before=$(mtime "$app/Profile/Profile1.cfg")
press 880 612
if wait_changed "$app/Profile/Profile1.cfg" "$before" 90; then
  expect_mouse_holds "$state" "$app/Profile/Profile1.cfg" "Apply of profile 1"
else
  e2e_fail "Apply did not save Profile1.cfg"
fi
WINELOADER="$loader" "$loader" reg query 'HKLM\Software\QUORV\Q350Config' /v ConfigInfo \
  >/dev/null 2>&1 || e2e_fail "no ConfigInfo in the registry after Apply"

# Profile 3: its tab is marked, and Apply writes its settings.
press 570 620
sleep 1
e2e_shot "$id" "$shots/profile3.png"
sheets="$app/skins"
[ "$($match "$shots/profile3.png" 545 612 600 630 "$sheets/Main_Down.bmp" "$sheets/Main_Normal.bmp")" = A ] ||
  e2e_fail "profile tab 3 is not marked"
[ "$($match "$shots/profile3.png" 355 612 405 630 "$sheets/Main_Normal.bmp" "$sheets/Main_Down.bmp")" = A ] ||
  e2e_fail "profile tab 1 is still marked"
before=$(mtime "$app/Profile/Profile3.cfg")
press 880 612
if wait_changed "$app/Profile/Profile3.cfg" "$before" 90; then
  expect_mouse_holds "$state" "$app/Profile/Profile3.cfg" "Apply of profile 3"
else
  e2e_fail "Apply did not save Profile3.cfg"
fi

# The language menu: every language, its flag and its texts (the status line's hint for the
# mouse page's tab, from the language table). The menu is a popup of the main window; its items are 22
# pixels high from y = 6.
# show_tab_hint SHOT: the pointer over the first page tab (as the window hears it), then a
# screenshot.
show_tab_hint() {
  input post "$E2E_TITLE" 512 0 $(((103 << 16) | 100)) || e2e_fail "no main window to move over"
  sleep 1
  e2e_shot "$id" "$1"
}
show_tab_hint "$shots/hint-english.png"
flags="$Q350_BUILD_DIR/generated/skin"
names=(chinese english french korean german italian spanish dutch portuguese russian ukrainian
       trad-chinese)
flag_ids=(164 157 158 161 159 160 165 156 162 163 167 164)
previous=157  # the program starts in English
for i in $(seq 1 12); do
  shot="$shots/language-${names[$((i - 1))]}.png"
  flag="$flags/bmp_${flag_ids[$((i - 1))]}.bmp"
  other="$flags/bmp_$previous.bmp"
  [ "$other" = "$flag" ] && other="$flags/bmp_157.bmp"
  previous=${flag_ids[$((i - 1))]}
  # The menu closes when another window takes the activation (other tests share the display),
  # and under load a click can meet the menu before it follows the pointer: then, as a person
  # would, open it again or click again. A choice closes the menu.
  chosen=no
  for attempt in 1 2 3; do
    [ $attempt -gt 1 ] && echo "language $i: attempt $attempt"
    if ! input wait-owned "$E2E_TITLE" Q350Popup 0; then
      press 36 626
      input wait-owned "$E2E_TITLE" Q350Popup 10 || continue
    fi
    input click-owned "$E2E_TITLE" Q350Popup 58 $((6 + (i - 1) * 22 + 11)) || continue
    if input gone-owned "$E2E_TITLE" Q350Popup 5; then
      chosen=yes
      break
    fi
  done
  if [ $chosen = no ]; then
    e2e_shot "$id" "$shots/language-$i-failed.png"
    e2e_fail "language $i: no choice closed the menu"
    continue
  fi
  # Without a window manager the X server takes a moment to take the closed menu off the screen.
  flag_shown=no
  deadline=$((SECONDS + 15))
  while [ $SECONDS -lt $deadline ]; do
    sleep 1
    e2e_shot "$id" "$shot"
    if [ "$($match "$shot" 19 592 56 614 "$flag" "$other")" = A ]; then flag_shown=yes; break; fi
  done
  [ $flag_shown = yes ] || e2e_fail "language $i: wrong flag"
  show_tab_hint "$shot"
  if [ "$i" -ne 2 ]; then
    [ "$($match --same "$shot" "$shots/hint-english.png" 67 598 313 631)" = different ] ||
      e2e_fail "language $i: the texts did not change"
  fi
done

kill -0 "$first" 2>/dev/null || e2e_fail "the program ended during the session"

# Unplugging the mouse: the notice, which closes by itself, and the program ends.
"$E2E_Q350CTL" device virtual set "$state" --plugged no >/dev/null
e2e_exits "$first" 40 || e2e_fail "the program did not end when the mouse was unplugged"
e2e_finish
