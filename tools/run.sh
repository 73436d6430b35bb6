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

app="$root/build/run"
mkdir -p "$app"
# The program files are refreshed on every run; what the program saved (profiles, macros) and the
# simulated mouse stay, as they do for an installed program between starts.
for item in "$build/bin/"*; do
  name=$(basename "$item")
  case "$name" in
    Profile | Macro.cfg) [ -e "$app/$name" ] && continue ;;
  esac
  rm -rf "${app:?}/$name"
  cp -r "$item" "$app/"
done
# Files that the build no longer makes go.
for item in "$app/"*; do
  name=$(basename "$item")
  case "$name" in
    Profile | Macro.cfg | virtual-mouse.state*) ;;
    *) [ -e "$build/bin/$name" ] || rm -rf "$item" ;;
  esac
done
mkdir -p "$app/Profile"
[ -f "$app/Macro.cfg" ] || truncate -s 2052000 "$app/Macro.cfg"
first_start=no
[ -f "$app/Profile/Profile1.cfg" ] || first_start=yes
# On a first start of this folder: the tests share the Wine prefix, and their registry entries
# would say that the program ran before. Called once the Wine session is up.
forget_earlier_runs() {
  if [ $first_start = yes ]; then
    q350_wine reg delete 'HKLM\Software\QUORV\Q350Config' /f >/dev/null 2>&1 || true
  fi
}
state="$app/virtual-mouse.state"
# A program killed in the middle of a report can leave the state file's lock behind.
rm -rf "$state.lock"
if [ -f "$state" ] || "$root/build/native/bin/q350ctl" device virtual new "$state" >/dev/null 2>&1; then
  export Q350_VIRTUAL_MOUSE="Z:${state}"
fi

title="Quorv Q350 Gaming Mouse Driver"
# The program starts in the tray when the system has been up less than five minutes; a second
# start, as a person would do, brings its window up (the second copy ends at once). Only while the
# window is not up yet, and never after this script has ended.
wake_pid=""
wake_later() {
  (
    sleep 8
    if ! xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; then
      exec "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe" >/dev/null 2>&1
    fi
  ) &
  wake_pid=$!
}
# Everything this script started ends with it: the wake-up, the program and the Wine session
# (its wineserver and helper processes), so no Wine process is left behind.
finish() {
  if [ -n "$wake_pid" ]; then
    pkill -P "$wake_pid" 2>/dev/null || true
    kill "$wake_pid" 2>/dev/null || true
  fi
  "$root/tools/wine/wine-env.sh" stop "$build" >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}
trap finish EXIT
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Q350Config.exe on $DISPLAY (its close button hides it to the tray; choose Exit in"
  echo "the tray icon's menu to end it)"
  "$root/tools/wine/wine-env.sh" start "$build" >/dev/null
  forget_earlier_runs
  wake_later
  "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe"
else
  "$root/tools/wine/wine-env.sh" start "$build" >/dev/null
  . "$Q350_SESSION_FILE"
  export DISPLAY
  forget_earlier_runs
  "$root/tools/wine/wine-run.sh" "$app/Q350Config.exe" &
  wake_later
  shot="$root/build/screenshots/main-window.png"
  if "$root/tools/wine/screenshot.sh" "$title" "$shot" 60 >/dev/null; then
    echo "Q350Config.exe is running under Wine without a display; screenshot saved to $shot"
  else
    echo "Q350Config.exe showed no main window within 60 s" >&2
  fi
  echo "Ending the program and its Wine session."
fi
