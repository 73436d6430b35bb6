#!/usr/bin/env bash
# bootlaunch.exe under Wine: it starts Q350Config.exe from its own folder (not the current one, and
# from a drive's root folder too) and ends with 0, silently, when there is nothing to start.
set -euo pipefail
launcher=${1:?bootlaunch.exe}
marker=${2:?launch_marker.exe}
run=${Q350_WINE_RUN:?}
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"

work="$Q350_BUILD_DIR/test-work/launcher"
rm -rf "$work"
mkdir -p "$work/app" "$work/elsewhere" "$work/root"
cp "$launcher" "$work/app/bootlaunch.exe"
cp "$marker" "$work/app/Q350Config.exe"
# A decoy in the current folder: starting it would be the fault under test.
cp "$marker" "$work/elsewhere/Q350Config.exe"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

wait_for() {  # wait_for FILE SECONDS
  local i
  for i in $(seq 1 $(($2 * 10))); do [ -f "$1" ] && return 0; sleep 0.1; done
  return 1
}

# 1. Started from another current folder.
status=0
(cd "$work/elsewhere" && "$run" "$work/app/bootlaunch.exe") || status=$?
[ "$status" -eq 0 ] || fail "launcher ended with $status"
wait_for "$work/app/launched.txt" 20 || fail "the target in the launcher's folder was not started"
[ ! -f "$work/elsewhere/launched.txt" ] || fail "the program in the current folder was started"

# 2. In a drive's root folder (drive Y: mapped to a scratch folder of the prefix).
cp "$launcher" "$work/root/bootlaunch.exe"
cp "$marker" "$work/root/Q350Config.exe"
ln -sfn "$work/root" "$WINEPREFIX/dosdevices/y:"
status=0
(cd "$work/elsewhere" && "$run" 'Y:\bootlaunch.exe') || status=$?
[ "$status" -eq 0 ] || fail "launcher in a root folder ended with $status"
wait_for "$work/root/launched.txt" 20 || fail "the target in the root folder was not started"
rm -f "$WINEPREFIX/dosdevices/y:"

# 3. Target absent: ends with 0 and says nothing.
rm -f "$work/app/Q350Config.exe" "$work/app/launched.txt"
status=0
output=$(cd "$work/elsewhere" && "$run" "$work/app/bootlaunch.exe" 2>&1) || status=$?
[ "$status" -eq 0 ] || fail "launcher without a target ended with $status"
[ -z "$output" ] || fail "launcher without a target printed: $output"
sleep 1
[ ! -f "$work/elsewhere/launched.txt" ] || fail "a program was started although the target is absent"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "launcher: all checks passed"
