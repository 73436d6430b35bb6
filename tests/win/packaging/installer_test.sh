#!/usr/bin/env bash
# Q350Setup.exe as a new user's machine sees it: installed silently into a fresh Wine prefix, the
# program folder, Start-menu shortcut, log-on launcher and Add/Remove Programs entry are there; the
# installed program starts against a simulated mouse and saves its profile beside itself; the
# silent uninstaller takes away everything it installed and keeps the user's profiles and macros.
set -uo pipefail
setup=${1:?Q350Setup.exe}
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
q350ctl=${Q350_Q350CTL:-$(dirname "$Q350_BUILD_DIR")/native/bin/q350ctl}

# A prefix of its own, as a machine where the program never was.
work="$Q350_BUILD_DIR/installer-test"
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
loader=$(q350_wine_loader)
wine() { WINELOADER="$loader" "$loader" "$@"; }
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
wine wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w

folder="$WINEPREFIX/drive_c/Program Files/Quorv/Q350"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorv"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Q350Config'
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }

wine "$setup" /S
wineserver -w
for f in Q350Config.exe bootlaunch.exe HidBridge.dll KeyCapture.dll SkinMenu.dll ScreenGrab.exe \
         update/FwFlash.exe quorv_update/QuorvUpdate.exe Language/en.xml skins/Main_Normal.bmp \
         skins/setting/Setting_Normal.bmp Macro.cfg uninstall.exe; do
  [ -f "$folder/$f" ] || fail "installed: $f is missing"
done
[ -d "$folder/Profile" ] || fail "installed: no Profile folder"
[ -d "$folder/update/new_version" ] || fail "installed: no update\\new_version folder"
[ "$(stat -c %s "$folder/Macro.cfg" 2>/dev/null)" = 2052000 ] || fail "installed: the macro library is not an empty library"
ls "$menu"/*.lnk >/dev/null 2>&1 || fail "installed: no Start-menu shortcut"
grep -qi 'bootlaunch.exe' <<<"$(reg_value "$run_key" Q350Config)" || fail "installed: bootlaunch.exe does not run at log-on"
[ "$(reg_value "$uninstall_key" DisplayVersion)" != "" ] || fail "installed: no Add/Remove Programs entry with a version"
grep -qi 'uninstall.exe' <<<"$(reg_value "$uninstall_key" UninstallString)" || fail "installed: the entry names no uninstaller"

# The installed program against a simulated mouse: it shows its window and, on Apply, saves the
# profile in its own folder.
state="$work/mouse.state"
"$q350ctl" device virtual new "$state" >/dev/null || fail "no simulated mouse"
export Q350_VIRTUAL_MOUSE="Z:$state"
title="Quorv Q350 Gaming Mouse Driver"
wine "$folder/Q350Config.exe" &
pid=$!
shown=no
for _ in $(seq 1 150); do
  if xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; then shown=yes; break; fi
  # Started in the tray (the system is up only briefly): a second start brings the window up.
  [ "$_" = 40 ] && wine "$folder/Q350Config.exe" >/dev/null 2>&1 &
  sleep 0.2
done
[ $shown = yes ] || fail "the installed program showed no window"
[ -f "$folder/Profile/Profile1.cfg" ] || fail "the installed program made no profile beside itself"
echo keep >"$folder/Profile/mine.cfg"
kill "$pid" 2>/dev/null
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Silently the uninstaller keeps what the user saved and takes away the rest.
# It runs from a copy of itself in the temporary folder; the session ends when that copy is done.
wine "$folder/uninstall.exe" /S
wineserver -w
for f in Q350Config.exe bootlaunch.exe SkinMenu.dll Language skins update uninstall.exe; do
  [ ! -e "$folder/$f" ] || fail "uninstalled: $f is still there"
done
[ -f "$folder/Profile/mine.cfg" ] && [ -f "$folder/Macro.cfg" ] ||
  fail "uninstalled: the user's profiles and macros were not kept"
ls "$menu"/*.lnk >/dev/null 2>&1 && fail "uninstalled: the Start-menu shortcut is still there"
[ -z "$(reg_value "$run_key" Q350Config)" ] || fail "uninstalled: the log-on entry is still there"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "uninstalled: the Add/Remove Programs entry is still there"

[ "$failures" -eq 0 ] || exit 1
echo "installer: installed, started and uninstalled cleanly"
