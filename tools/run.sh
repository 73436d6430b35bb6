#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts Q350Config.exe under Wine
# against a simulated mouse. Without a display it runs under Xvfb, saves a screenshot of the main
# window to build/screenshots/ and ends the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-deps.sh"
"$root/tools/build.sh" native win64

build="$root/build/win64"
export Q350_BUILD_DIR="$build"
. "$root/tools/wine/common.sh"
q350_wine_paths "$build"

# A fresh program folder with a fresh simulated mouse.
app="$root/build/run"
rm -rf "$app"
mkdir -p "$app"
cp -r "$build/bin/." "$app/"
# As installed: the profile folder and an empty macro library beside the program.
mkdir -p "$app/Profile"
truncate -s 2052000 "$app/Macro.cfg"
state="$app/virtual-mouse.state"
if "$root/build/native/bin/q350ctl" device virtual new "$state" >/dev/null 2>&1; then
  export Q350_VIRTUAL_MOUSE="Z:${state}"
fi

title="Quorv Q350 Gaming Mouse Driver"
# The program starts in the tray when the system has been up less than five minutes; a second
# start, as a person would do, brings its window up (the second copy ends at once).
wake_later() {
  ( sleep 8; "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe" >/dev/null 2>&1 ) &
}
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Q350Config.exe on $DISPLAY (close its window to end)"
  "$root/tools/wine/wine-env.sh" start "$build" >/dev/null
  trap '"$root/tools/wine/wine-env.sh" stop "$build"' EXIT
  wake_later
  "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe"
else
  "$root/tools/wine/wine-env.sh" start "$build" >/dev/null
  trap '"$root/tools/wine/wine-env.sh" stop "$build"' EXIT
  . "$Q350_SESSION_FILE"
  export DISPLAY
  "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe" &
  pid=$!
  wake_later
  shot="$root/build/screenshots/main-window.png"
  if "$root/tools/wine/screenshot.sh" "$title" "$shot" 60 >/dev/null; then
    echo "Q350Config.exe is running under Wine without a display; screenshot saved to $shot"
  else
    echo "Q350Config.exe showed no main window within 60 s" >&2
  fi
  kill "$pid" 2>/dev/null || true
fi
