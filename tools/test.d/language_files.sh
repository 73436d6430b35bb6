#!/usr/bin/env bash
# The shipped language files: every id present and filled, placeholders intact, encodings as
# declared; and the checker's own tests.
set -euo pipefail
root=${1:?repository root}
/usr/bin/python3 "$root/tools/lang/check_language_files.py" "$root/assets/Language"
/usr/bin/python3 -m unittest discover -s "$root/tools/lang" -p 'test_*.py' 2>&1 | tail -n 3
