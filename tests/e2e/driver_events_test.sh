#!/usr/bin/env bash
# Driver events reach the running program through the simulated mouse's event queue, the worker
# and its semaphore: a host-action press of a button opens that button's path, the screenshot
# press starts the screenshot tool, and a DPI change shows the DPI indicator for about two seconds.
set -uo pipefail
exe=${1:?Q350Config.exe}
. "$(dirname "$0")/lib.sh"

app=$(e2e_app_folder driver-events)
state="$app/mouse.state"
e2e_new_mouse "$state" || { echo "no q350ctl at $E2E_Q350CTL"; exit 1; }
export Q350_TOOL_LOG="Z:$app/tools.log"
export Q350_SCREENSHOT_DIR="Z:$app/shots"

# Profile 1: button 2 of the office mode opens ScreenGrab.exe (kind 2, "open the path").
"$E2E_Q350CTL" profile new "$app/Profile/Profile1.cfg" >/dev/null || e2e_fail "profile new"
/usr/bin/python3 - "$app/Profile/Profile1.cfg" "Z:${app//\//\\}\\ScreenGrab.exe" <<'PY'
import struct, sys
path, target = sys.argv[1], sys.argv[2]
BUTTONS, SIZE, MODE, BUTTON = 4, 0xC48, 0, 2
data = bytearray(open(path, "rb").read())
base = BUTTONS + (MODE * 14 + BUTTON) * SIZE
struct.pack_into("<i", data, base + 0x00, 19)                          # an advanced function
struct.pack_into("<I", data, base + 0x10, (BUTTON << 24) | 0x00C00004 | (2 << 16))
text = target.encode("utf-16-le")
data[base + 0x14: base + 0x14 + 520] = text + bytes(520 - len(text))  # path, 260 UTF-16 units
open(path, "wb").write(data)
PY

e2e_start "$app/$(basename "$exe")"
# The driver link registers on the first tick of its one-second timer.
sleep 4

"$E2E_Q350CTL" device virtual event "$state" 0x4000C202 >/dev/null || e2e_fail "queue kind 2"
deadline=$((SECONDS + 15))
until grep -q 'ScreenGrab.exe' "$app/tools.log" 2>/dev/null || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
grep -q 'ScreenGrab.exe' "$app/tools.log" 2>/dev/null || e2e_fail "the button's path was not opened"

: >"$app/tools.log"
"$E2E_Q350CTL" device virtual event "$state" 0x4000C900 >/dev/null || e2e_fail "queue kind 9"
deadline=$((SECONDS + 15))
until grep -q -- '-t desktop -p' "$app/tools.log" 2>/dev/null || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
grep -q -- '-t desktop -p' "$app/tools.log" 2>/dev/null || e2e_fail "the desktop screenshot tool was not started"

dpi_visible() { xdotool search --onlyvisible --name '^ProgressDlg\.$' >/dev/null 2>&1; }
# wait_until SECONDS COMMAND...: true once the command succeeds within the time.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.3
  done
}
events_empty() {
  "$E2E_Q350CTL" device dump --virtual "$state" --json 2>/dev/null | grep -q '"events": \[\]'
}
not_visible() { ! dpi_visible; }

# The indicator is hidden before the change, shows after it and hides itself about two seconds
# after the last change.
wait_until 10 not_visible || e2e_fail "the DPI indicator was up before any DPI change"
"$E2E_Q350CTL" device virtual event "$state" 0x9001 >/dev/null || e2e_fail "queue 0x9001"
if wait_until 15 dpi_visible; then
  id=$(xdotool search --onlyvisible --name '^ProgressDlg\.$' | head -n 1)
  # Windows keeps the topmost indicator above the main window; Wine without a window manager
  # leaves its X window below it, so the picture is taken with it raised.
  xdotool windowraise "$id"
  sleep 0.3
  shot="$Q350_BUILD_DIR/screenshots/dpi-indicator.png"
  e2e_shot "$id" "$shot" || true
  # The level's number is drawn beside the bar's fill.
  [ "$(/usr/bin/python3 "$(dirname "$0")/sheet_match.py" --same "$shot" \
      "$app/skins/ProgressBar/DpiPro_Normal.png" 93 11 240 44)" = different ] ||
    e2e_fail "the DPI indicator shows no number"
  wait_until 10 not_visible || e2e_fail "the DPI indicator stayed up"
else
  e2e_fail "the DPI indicator did not show"
fi

# Every queued event is taken from the simulated mouse.
wait_until 10 events_empty || e2e_fail "events were left in the simulated mouse"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended"
e2e_finish
