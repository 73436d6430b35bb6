#!/usr/bin/env bash
# Runs a whole-program test script (ctest's command for them):
#   wine-script.sh SCRIPT [ARGS...]
# Its output reaches ctest through a file, so Wine's helper processes, which the script's programs
# may start, do not hold the test open after the script has ended. The exit status is the script's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
q350_own_output bash "$@"
