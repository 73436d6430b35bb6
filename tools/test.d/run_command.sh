#!/usr/bin/env bash
# The run command as a new user tries it on a machine without a display: it saves a screenshot of
# the main window and ends by itself soon after, leaving no Wine process behind.
set -uo pipefail
root=${1:?repository root}
shot="$root/build/screenshots/main-window.png"
rm -f "$shot"
start=$SECONDS
if ! env -u DISPLAY timeout 600 bash "$root/tools/run.sh" >"$root/build/run-command.log" 2>&1; then
  echo "run command: failed or did not end within 600 s (see build/run-command.log)"
  exit 1
fi
took=$((SECONDS - start))
[ -s "$shot" ] || { echo "run command: no screenshot at $shot"; exit 1; }
# Past the moment its wake-up would have started a second copy.
sleep 10
# Any process of the run's Wine prefix (the program, its helpers, the wineserver) is left behind.
prefix="$root/build/win64/wine/prefix"
left=""
for pid in $(pgrep -f 'wine|Q350Config' || true); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
    left+="$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"$'\n'
  fi
done
if [ -n "$left" ]; then
  echo "run command: Wine processes were left behind:"
  echo "$left"
  exit 1
fi
echo "run command: ended by itself after ${took} s with its screenshot, nothing left running"
