#!/usr/bin/env bash
# test_only_marks.py finds the test key and the test-only variable in this test build's program
# and in nothing that never had them, and passes a folder without them.
set -uo pipefail
src=${1:?source folder}
bin=${2:?program folder}
work=${3:?work folder}
check=(python3 "$src/tools/installer/test_only_marks.py" "$src/tests/keys/update_test_key.pem")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$("${check[@]}" "$bin"); status=$?
[ "$status" -eq 1 ] || fail "the test build's program folder passed (status $status)"
grep -q 'Q350Config.exe: holds the test key' <<<"$out" || fail "the test key in Q350Config.exe was missed"
grep -q 'Q350Config.exe: holds Q350_UPDATE_SERVER (UTF-16)' <<<"$out" || fail "the variable in Q350Config.exe was missed"
grep -q 'bootlaunch.exe' <<<"$out" && fail "bootlaunch.exe never had either"

rm -rf "$work"; mkdir -p "$work/clean/sub" "$work/dirty"
cp "$bin/bootlaunch.exe" "$work/clean/sub/"
printf 'plain text\n' >"$work/clean/readme.txt"
"${check[@]}" "$work/clean" >/dev/null || fail "a clean folder was refused"
printf 'set Q350_UPDATE_SERVER=x\n' >"$work/dirty/run.bat"
out=$("${check[@]}" "$work/dirty")
grep -q 'run.bat: holds Q350_UPDATE_SERVER$' <<<"$out" || fail "the ASCII name was missed"

[ "$failures" -eq 0 ] && echo "test-only marks: all passed"
exit $((failures > 0))
