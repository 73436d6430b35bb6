#!/usr/bin/env bash
# Brief fuzz runs of every libFuzzer target (clang, AddressSanitizer and UndefinedBehaviorSanitizer):
# the XML reader and language table, update.xml look-ups, profile files and imports, profile JSON,
# Macro.cfg, macro imports, driver-event decoding and skin BMP headers, each for Q350_FUZZ_SECONDS
# (default 10).
# Fails on any finding. fuzz/run.sh runs them longer. $1: the repository root.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
exec bash "$root/fuzz/run.sh" "${Q350_FUZZ_SECONDS:-10}"
