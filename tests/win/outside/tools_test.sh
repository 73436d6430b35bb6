#!/usr/bin/env bash
# The shipped tools under Wine: ScreenGrab.exe takes and saves the parts of the screen it is asked
# for and refuses a bad command line; both tools note their start for tests.
set -uo pipefail
grab=${1:?ScreenGrab.exe}
update=${2:?QuorvUpdate.exe}
run=${Q350_WINE_RUN:?}
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY

work="$Q350_BUILD_DIR/test-work/tools"
rm -rf "$work"
mkdir -p "$work/shots"
export Q350_TOOL_LOG="Z:$work/tools.log"
export Q350_SCREENSHOT_DIR="Z:$work/shots"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }
newest() { ls -t "$work/shots"/*.png 2>/dev/null | head -n 1; }

screen=$(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\).*/\1/p')

"$run" "$grab" -t desktop -p || fail "desktop shot ended with $?"
shot=$(newest)
[ -n "$shot" ] || fail "no desktop screenshot saved"
[ -z "$shot" ] || [ "$(size_of "$shot")" = "$screen" ] || fail "desktop shot is $(size_of "$shot"), screen is $screen"
rm -f "$work/shots"/*.png

"$run" "$grab" -t region -r 10,20,200,100 -p || fail "region shot ended with $?"
shot=$(newest)
[ -n "$shot" ] && [ "$(size_of "$shot")" = "200x100" ] || fail "region shot is '$(size_of "$shot")', not 200x100"
rm -f "$work/shots"/*.png

# A region reaching past the screen's edge is cut to what is on the screen.
"$run" "$grab" -t region -r -50,0,100,40 -p || fail "edge region ended with $?"
shot=$(newest)
[ -n "$shot" ] && [ "$(size_of "$shot")" = "50x40" ] || fail "edge region shot is '$(size_of "$shot")', not 50x40"
rm -f "$work/shots"/*.png

status=0
"$run" "$grab" -t nothing -p || status=$?
[ "$status" -eq 2 ] || fail "a bad target ended with $status, not 2"
[ -z "$(newest)" ] || fail "a bad command line saved a picture"

"$run" "$update" || fail "QuorvUpdate.exe ended with $?"
grep -q 'ScreenGrab.exe" -t desktop -p' "$work/tools.log" || grep -q 'ScreenGrab.exe -t desktop -p' "$work/tools.log" \
  || fail "ScreenGrab's start was not noted: $(cat "$work/tools.log" 2>/dev/null)"
grep -q 'QuorvUpdate.exe' "$work/tools.log" || fail "QuorvUpdate's start was not noted"

[ "$failures" -eq 0 ] || exit 1
echo "tools: all checks passed"
