#!/usr/bin/env bash
# q350ctl end to end: a new profile applied to a fresh simulated mouse leaves exactly its button
# words in the mouse; bad files and an unplugged mouse give exit status 1 with a message; macros
# survive export and import; malformed macro files are refused without touching the library;
# profiles go to JSON and back byte for byte, and out-of-range values are refused.
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

# The plan without a mouse: one line a command, in the order and with the waits of the download;
# the mouse is not touched. A second apply still writes everything (the tool cannot know what the
# mouse holds).
before=$("$q" device dump --virtual m.state | grep 'commands received')
"$q" profile apply p.cfg --dry-run >plan.txt || fail "profile apply --dry-run"
[ "$(grep -c '^write 0x0[468]' plan.txt)" -eq 42 ] || fail "dry run: not 42 button writes"
[ "$(grep -c '^set 0x' plan.txt)" -eq 20 ] || fail "dry run: not 20 parameters"
grep -q '^set 0x0C  lift-off value' plan.txt || fail "dry run: no lift-off line"
tail -n 1 plan.txt | grep -q '^62 commands, 0 macro uploads$' || fail "dry run: no count"
[ "$("$q" device dump --virtual m.state | grep 'commands received')" = "$before" ] ||
  fail "dry run touched the mouse"
status=0; "$q" profile apply p.cfg --dry-run --virtual m.state 2>/dev/null || status=$?
[ "$status" -ne 0 ] || fail "dry run together with a mouse was accepted"
"$q" profile apply p.cfg --virtual m.state | grep -q '^applied p.cfg: 42 button words' ||
  fail "a second apply did not write everything"

# An export file shows the program its profile follows.
$py - <<'PY' || fail "could not make an export file"
import struct
slot = bytearray(0x6CC)
struct.pack_into("<iii", slot, 0, 0, 1, 1)
name = "Arena".encode("utf-16-le")
slot[0x00C:0x00C + len(name)] = name
prog = "C:\\Games\\arena.exe".encode("utf-16-le")
slot[0x41C:0x41C + len(prog)] = prog
open("bound.cfg", "wb").write(open("p.cfg", "rb").read() + bytes(slot))
PY
"$q" profile show bound.cfg >bound.txt || fail "profile show of an export file"
grep -q '^  program path: C:\\Games\\arena.exe$' bound.txt || fail "show: no program path"
grep -q '^  switch profile automatically: on$' bound.txt || fail "show: switch not on"
"$q" profile show bound.cfg --json | $py -c '
import json, sys
s = json.load(sys.stdin)["slot"]
sys.exit(0 if s["autoPath"] == "C:\\Games\\arena.exe" and s["autoSwitch"] is True else 1)' ||
  fail "show --json: no program path"

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

# A mouse that stops taking reports from its third command: the apply fails within seconds
# instead of hanging, and what the mouse took before stays.
"$q" device virtual new s.state >/dev/null || fail "virtual new s.state"
"$q" device virtual set s.state --fault stall --fault-from 2 >/dev/null || fail "virtual set --fault stall"
"$q" device dump --virtual s.state | grep -q 'fault: stall' || fail "dump does not show the stall"
start=$SECONDS
status=0; timeout 60 "$q" profile apply p.cfg --virtual s.state >/dev/null 2>err.txt || status=$?
[ "$status" -eq 1 ] || fail "profile apply to a stalled mouse gave $status"
[ $((SECONDS - start)) -le 10 ] || fail "profile apply to a stalled mouse took $((SECONDS - start)) s"
"$q" device dump --virtual s.state --json | $py -c 'import json,sys; d=json.load(sys.stdin); sys.exit(0 if d["commandCount"] == 2 else 1)' \
  || fail "the stalled mouse took more than its first two commands"

# Macros: import a readable macro, list it, export it again unchanged.
cat >macro.txt <<'TXT'
id 0x02000011
name Reload
repeat 1
down 0x52
pause 30
up 0x52
TXT
if "$q" macro import Macro.cfg macro.txt >/dev/null 2>err.txt; then
  "$q" macro list Macro.cfg | grep -q Reload || fail "imported macro not listed"
  # Text and JSON exports carry the same macro through another library unchanged.
  "$q" macro export Macro.cfg 0x02000011 out.txt >/dev/null || fail "macro export"
  "$q" macro export Macro.cfg 0x02000011 out.json --json >/dev/null || fail "macro export --json"
  "$q" macro import Second.cfg out.json >/dev/null || fail "macro import of JSON"
  "$q" macro export Second.cfg 0x02000011 again.txt >/dev/null ||
    fail "macro export from the second library"
  cmp -s out.txt again.txt || fail "macro changed on its way through JSON"
else
  fail "macro import: $(cat err.txt)"
fi

# Malformed macro files: each is refused with a message that names the place, and neither the
# existing library nor a library that did not exist yet is written.
cp Macro.cfg library-before.cfg
n=0
while IFS= read -r bad; do
  n=$((n + 1))
  printf '%s' "$bad" >"bad$n.json"
  status=0; "$q" macro import Macro.cfg "bad$n.json" >/dev/null 2>err.txt || status=$?
  [ "$status" -eq 1 ] && grep -q 'nothing imported' err.txt ||
    fail "malformed macro $n ($bad) gave status $status: $(cat err.txt)"
  status=0; "$q" macro import Fresh.cfg "bad$n.json" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 1 ] && [ ! -e Fresh.cfg ] || fail "malformed macro $n created a library"
done <<'BAD'
{
{"id": 5, "name": "x", "repeat": 1, "events": [{"down": 65}
{"id": "x", "name": "x", "repeat": 1, "events": []}
{"id": 5, "name": "x", "repeat": 1, "events": [{"down": 65}, {"pause": -30}]}
{"id": 5, "name": "x", "repeat": 1, "events": [], "colour": 2}
{"id": 5, "name": "x", "repeat": 1, "events": []} and more
{"id": 5, "name": "x", "repeat": 0, "events": []}
{"id": 5, "name": "x", "repeat": 1, "events": [{"down": 7}]}
{"id": 5, "name": "x", "repeat": 1, "events": [{"down": 65, "up": 65}]}
BAD
printf '{"id": 5, "name": "%s", "repeat": 1, "events": []}' "$(head -c 5000 /dev/zero | tr '\0' n)" \
  >long.json
: >empty.json
printf 'name no id\ndown 0x41\n' >noid.txt
for bad in long.json:'/name: is 5000 UTF-16 characters long' empty.json:'the file is empty' \
           noid.txt:"no 'id' line"; do
  status=0; "$q" macro import Macro.cfg "${bad%%:*}" >/dev/null 2>err.txt || status=$?
  [ "$status" -eq 1 ] && grep -qF "${bad#*:}" err.txt || fail "${bad%%:*} gave $status: $(cat err.txt)"
done
cmp -s Macro.cfg library-before.cfg || fail "a refused import changed the library"

# Profiles as JSON: byte for byte there and back, edits land, out-of-range values are refused.
"$q" profile new --chinese cn.cfg >/dev/null || fail "profile new --chinese"
for f in p.cfg cn.cfg; do
  "$q" profile export "$f" "$f.json" >/dev/null || fail "profile export $f"
  "$q" profile import "$f.json" "back-$f" >/dev/null || fail "profile import $f.json"
  cmp -s "$f" "back-$f" || fail "$f changed on its way through JSON"
done
$py - <<'PY' || fail "editing the profile document"
import json
d = json.load(open("p.cfg.json"))
d["modes"][1]["liftOff"] = 29
json.dump(d, open("edited.json", "w"), indent=2)
for name, path, value in [("lift", ("modes", 1, "liftOff"), 200),
                          ("effect", ("modes", 0, "lighting", "zones", 1, "effect"), 9),
                          ("rate", ("modes", 2, "reportRate"), 3),
                          ("top", ("modes", 0, "dpi", "presetsX"), [10, 0, 0, 0, 0, 0, 0, 0, 0, 0])]:
    e = json.load(open("p.cfg.json"))
    node = e
    for step in path[:-1]:
        node = node[step]
    node[path[-1]] = value
    json.dump(e, open(f"bad-{name}.json", "w"))
PY
"$q" profile import edited.json edited.cfg >/dev/null || fail "profile import of an edit"
[ "$(cmp -l p.cfg edited.cfg | wc -l)" -eq 1 ] || fail "an edit changed more than its byte"
"$q" profile show edited.cfg --mode 1 | grep -q 'lift-off: 29' || fail "edited lift-off not shown"
for bad in lift effect rate top; do
  status=0; "$q" profile import "bad-$bad.json" "bad-$bad.cfg" >/dev/null 2>err.txt || status=$?
  [ "$status" -eq 1 ] && [ ! -e "bad-$bad.cfg" ] && grep -q '/modes/' err.txt ||
    fail "profile document with a bad $bad gave $status: $(cat err.txt)"
done
status=0; "$q" profile export junk.cfg junk.json >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] && [ ! -e junk.json ] || fail "profile export of junk gave $status"

[ "$failures" -eq 0 ] || exit 1
echo "q350ctl: all checks passed"
