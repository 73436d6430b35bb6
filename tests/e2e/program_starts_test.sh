#!/usr/bin/env bash
# Q350Config.exe starts under Wine and shows its main window with the title other programs look for.
set -uo pipefail
exe=${1:?Q350Config.exe}
. "$(dirname "$0")/lib.sh"

title="Quorv Q350 Gaming Mouse Driver"
e2e_start "$exe"
if id=$(e2e_window_id "$title" 60); then
  shot="$Q350_BUILD_DIR/screenshots/main-window.png"
  mkdir -p "$(dirname "$shot")"
  sleep 1
  import -window "$id" "$shot" || e2e_fail "no screenshot of the main window"
  echo "screenshot: $shot"
else
  e2e_fail "no window titled '$title' appeared"
fi
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended by itself"
e2e_finish
