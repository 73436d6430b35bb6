#!/usr/bin/env bash
# The one command that installs what is missing, builds everything and runs every test: native
# unit tests, the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer, Win32
# tests and whole-program tests under Wine, and the fuzz runs.
# Q350_BUILD_ROOT moves the build folders (as for tools/build.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${Q350_BUILD_ROOT:-$root/build}

"$root/tools/setup-deps.sh" || exit 1
"$root/tools/build.sh" native win64 win32 asan || { echo "build failed"; exit 1; }

total_pass=0
total_fail=0
status=0
run_ctest() {  # run_ctest NAME BUILD_DIR
  local log="$2/ctest-summary.log"
  echo "== tests: $1 =="
  ctest --test-dir "$2" --output-on-failure -j "${Q350_TEST_JOBS:-2}" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local failed all
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    total_pass=$((total_pass + all - failed))
    total_fail=$((total_fail + failed))
  fi
  [ "$rc" -eq 0 ] || status=1
}

run_ctest native "$builds/native"
# Sanitizer findings end the test that hit them; leaks count as findings too.
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  run_ctest asan "$builds/asan"
run_ctest wine "$builds/win64"

for extra in "$root"/tools/test.d/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh) =="
  if bash "$extra" "$root"; then total_pass=$((total_pass + 1)); else total_fail=$((total_fail + 1)); status=1; fi
done

echo
echo "all: $total_pass passed, $total_fail failed"
exit $status
