#!/usr/bin/env bash
# Starts or stops the Wine session of a build folder: an X display (Xvfb when there is none) and a
# private Wine prefix under the build folder, created once and reused.
#   wine-env.sh start BUILD_DIR   writes BUILD_DIR/wine/session.env
#   wine-env.sh stop BUILD_DIR    ends what start started (by pid and by prefix, never by name)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

cmd=${1:?start or stop}
build=$(cd "${2:?build folder}" && pwd)
q350_wine_paths "$build"
mkdir -p "$Q350_WINE_DIR"

display_works() { DISPLAY="$1" xdpyinfo >/dev/null 2>&1; }

start() {
  if [ -f "$Q350_SESSION_FILE" ]; then
    . "$Q350_SESSION_FILE"
    if display_works "$DISPLAY"; then exit 0; fi
    rm -f "$Q350_SESSION_FILE"
  fi
  local display="" xvfb_pid=""
  if [ -n "${DISPLAY:-}" ] && [ -z "${Q350_FORCE_XVFB:-}" ] && display_works "$DISPLAY"; then
    display=$DISPLAY
  else
    # Xvfb picks a free display number itself and reports it.
    local numfile="$Q350_WINE_DIR/xvfb.display"
    rm -f "$numfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >"$Q350_WINE_DIR/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local i
    for i in $(seq 1 100); do
      if [ -s "$numfile" ] && display_works ":$(head -n 1 "$numfile")"; then
        display=":$(head -n 1 "$numfile")"
        break
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -z "$display" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ -z "$display" ]; then echo "wine-env: could not start Xvfb" >&2; exit 1; fi
  fi
  export DISPLAY=$display
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating the Wine prefix $WINEPREFIX (once)"
    q350_wine wineboot -i >"$Q350_WINE_DIR/wineboot.log" 2>&1 || true
    # No crash dialog: a crashing test must end, not wait for a click.
    q350_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$Q350_WINE_DIR/wineboot.log" 2>&1 || true
    wineserver -w || true
  fi
  if [ ! -f "$Q350_WINE_DIR/fonts-linked-4" ]; then
    # Every Windows system has Arial and Microsoft Sans Serif (the generic sans-serif family of
    # GDI+, which refuses to draw text without it); Wine has neither, so both stand for DejaVu Sans
    # (smoothed at every size; it is a little wider than Arial).
    for face in "Microsoft Sans Serif" Arial; do
      q350_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d 'DejaVu Sans' /f >>"$Q350_WINE_DIR/wineboot.log" 2>&1 || true
    done
    # Chinese, Korean and Cyrillic texts: the Windows faces the program asks for fall back to the
    # WenQuanYi font (Debian's fonts-wqy-microhei), as a Windows system links them to its own
    # East Asian fonts.
    for face in Tahoma "MS Shell Dlg" "Microsoft Sans Serif" Arial; do
      q350_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
        >>"$Q350_WINE_DIR/wineboot.log" 2>&1 || true
    done
    wineserver -w || true
    rm -f "$Q350_WINE_DIR"/fonts-linked "$Q350_WINE_DIR"/fonts-linked-[0-9]
    touch "$Q350_WINE_DIR/fonts-linked-4"
  fi
  # Xvfb has no window manager: Wine then waits two seconds for one at every top-level window
  # that goes away. Its windows are left unmanaged there, and managed on a real desktop.
  local managed=Y
  [ -z "$xvfb_pid" ] || managed=N
  if [ "$(cat "$Q350_WINE_DIR/managed" 2>/dev/null)" != "$managed" ]; then
    q350_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f \
      >>"$Q350_WINE_DIR/wineboot.log" 2>&1 || true
    wineserver -w || true
    echo "$managed" >"$Q350_WINE_DIR/managed"
  fi
  cat >"$Q350_SESSION_FILE" <<EOS
DISPLAY=$display
Q350_XVFB_PID=$xvfb_pid
EOS
  echo "wine-env: display $display, prefix $WINEPREFIX"
}

stop() {
  if [ -f "$Q350_SESSION_FILE" ]; then
    . "$Q350_SESSION_FILE"
    # Ends every Windows process of this prefix and its wineserver, nothing else.
    wineserver -k 2>/dev/null || true
    if [ -n "${Q350_XVFB_PID:-}" ]; then kill "$Q350_XVFB_PID" 2>/dev/null || true; fi
    rm -f "$Q350_SESSION_FILE"
  fi
}

"$cmd"
