#!/usr/bin/env bash
# q350ctl end to end: a new profile applied to a fresh simulated mouse leaves exactly its button
# words in the mouse; bad files and an unplugged mouse give exit status 1 with a message; macros
# survive export and import.
set -uo pipefail
q=${1:?q350ctl}
work=${2:?work folder}
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
py=/usr/bin/python3

"$q" --version | grep -q '^q350ctl [0-9]' || fail "--version"
status=0; "$q" frobnicate 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "unknown command gave $status"

"$q" profile new p.cfg >/dev/null || fail "profile new"
"$q" device virtual new m.state >/dev/null || fail "virtual new"
"$q" profile apply p.cfg --virtual m.state >/dev/null || fail "profile apply"
"$q" profile show p.cfg --json >profile.json || fail "profile show --json"
"$q" device dump --virtual m.state --json >dump.json || fail "device dump --json"
$py - <<'PY' || fail "the mouse does not hold the profile's button words"
import json, sys
profile = json.load(open("profile.json"))
dump = json.load(open("dump.json"))
bad = 0
for pm, dm in zip(profile["modes"], dump["modes"]):
    words = {b["button"] - 1: b["word"] for b in dm["buttons"]}
    for b in pm["buttons"]:
        want = int(b["word"], 16)
        if words.get(b["index"]) != want:
            print(f"mode {pm['mode']} button {b['index']}: mouse {words.get(b['index'])}, profile {want}")
            bad += 1
sys.exit(1 if bad else 0)
PY

# Not a profile: clear error, status 1, and the mouse is not touched.
head -c 1000 /dev/urandom >junk.cfg
status=0; "$q" profile show junk.cfg >/dev/null 2>err.txt || status=$?
[ "$status" -eq 1 ] && [ -s err.txt ] || fail "profile show on junk gave $status"
status=0; "$q" profile apply junk.cfg --virtual m.state >/dev/null 2>err.txt || status=$?
[ "$status" -eq 1 ] || fail "profile apply of junk gave $status"

# An unplugged mouse: a message and status 1, never a hang.
"$q" device virtual set m.state --plugged no >/dev/null || fail "virtual set --plugged no"
status=0; timeout 60 "$q" device info --virtual m.state >/dev/null 2>err.txt || status=$?
[ "$status" -eq 1 ] && [ -s err.txt ] || fail "device info on an unplugged mouse gave $status"
status=0; timeout 60 "$q" profile apply p.cfg --virtual m.state >/dev/null 2>err.txt || status=$?
[ "$status" -eq 1 ] || fail "profile apply to an unplugged mouse gave $status"

# Macros: import a readable macro, list it, export it again unchanged.
cat >macro.txt <<'TXT'
name Reload
repeat 1
down 0x52
pause 30
up 0x52
TXT
if "$q" macro import Macro.cfg macro.txt >/dev/null 2>err.txt; then
  "$q" macro list Macro.cfg | grep -q Reload || fail "imported macro not listed"
  # Text and JSON exports carry the same macro through another library unchanged.
  "$q" macro export Macro.cfg 0 out.txt >/dev/null || fail "macro export"
  "$q" macro export Macro.cfg 0 out.json --json >/dev/null || fail "macro export --json"
  "$q" macro import Second.cfg out.json >/dev/null || fail "macro import of JSON"
  "$q" macro export Second.cfg 0 again.txt >/dev/null || fail "macro export from the second library"
  cmp -s out.txt again.txt || fail "macro changed on its way through JSON"
else
  fail "macro import: $(cat err.txt)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "q350ctl: all checks passed"
