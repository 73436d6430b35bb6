#!/usr/bin/env bash
# One simulated mouse shared by the Linux q350ctl and HidBridge.dll under Wine: each side reads
# what the other wrote into the state file.
set -uo pipefail
probe=${1:?hidbridge_probe.exe}
bridge=${2:?HidBridge.dll}
run=${Q350_WINE_RUN:?}
q350ctl="$Q350_BUILD_DIR/../native/bin/q350ctl"
if [ ! -x "$q350ctl" ]; then
  echo "SKIP: $q350ctl is not built (build the native tree first)"
  exit 0
fi

work="$Q350_BUILD_DIR/test-work/device-exchange"
rm -rf "$work"
mkdir -p "$work"
cp "$probe" "$work/hidbridge_probe.exe"
cp "$bridge" "$work/HidBridge.dll"
state="$work/mouse.state"
export Q350_VIRTUAL_MOUSE="Z:${state//\//\\}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Linux writes, Windows reads.
"$q350ctl" device virtual new "$state" --firmware 7 --mode 2 >/dev/null || fail "virtual new"
out=$(cd "$work" && "$run" "$work/hidbridge_probe.exe" info 2>&1 | tr -d '\r')
[ "$out" = "mode=2 firmware=7 resolution=32" ] || fail "probe info printed '$out'"

# Windows writes, Linux reads.
out=$(cd "$work" && "$run" "$work/hidbridge_probe.exe" write 2>&1 | tr -d '\r')
[ "$out" = "written" ] || fail "probe write printed '$out'"
info=$("$q350ctl" device info --virtual "$state" 2>&1) || fail "q350ctl info failed: $info"
grep -q '^mode: 2 (FPS)$' <<<"$info" || fail "q350ctl info: $info"
grep -q '^firmware: 7$' <<<"$info" || fail "q350ctl info: $info"
dump=$("$q350ctl" device dump --virtual "$state" 2>&1) || fail "q350ctl dump failed"
grep -q 'button  4 @0x0638: 0x00010005' <<<"$dump" || fail "button word missing from the dump"
grep -q 'lift-off value             7   8   9' <<<"$dump" || fail "lift-off values missing"
grep -q 'down A, wait 50 ms' <<<"$dump" || fail "macro program not decoded"

# A mouse that is not there: the probe reports it and ends, it does not hang.
"$q350ctl" device virtual set "$state" --plugged no >/dev/null || fail "virtual set"
status=0
(cd "$work" && "$run" "$work/hidbridge_probe.exe" info >/dev/null 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "probe against an unplugged mouse ended with $status"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "device state exchange: all checks passed"
