#!/usr/bin/env bash
# Runs one Windows program of a build under Wine, in that build's session (started here and ended
# again when no session is running). Used by ctest as the cross-compiling emulator:
#   wine-run.sh PROGRAM.exe [ARGS...]
# The exit status is the program's. Q350_WINE_TIMEOUT (seconds, default 600) bounds a run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

exe=${1:?program}
shift
build=${Q350_BUILD_DIR:-$(q350_find_build_dir "$exe")} || { echo "wine-run: no build folder for $exe" >&2; exit 2; }
q350_wine_paths "$build"

own_session=""
if [ ! -f "$Q350_SESSION_FILE" ]; then
  "$here/wine-env.sh" start "$build" >/dev/null || exit 2
  own_session=1
fi
. "$Q350_SESSION_FILE"
export DISPLAY

q350_wine_loader_path=$(q350_wine_loader)
WINELOADER="$q350_wine_loader_path" q350_own_output timeout --kill-after=10 \
  "${Q350_WINE_TIMEOUT:-600}" "$q350_wine_loader_path" "$exe" "$@"
status=$?

if [ -n "$own_session" ]; then "$here/wine-env.sh" stop "$build"; fi
exit $status
