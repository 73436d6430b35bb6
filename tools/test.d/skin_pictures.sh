#!/usr/bin/env bash
# The drawn skin: every sheet the windows read exists with its window's size, shaped windows
# carry the key colour only outside, controls change their face when pointed at or chosen.
set -euo pipefail
root=${1:?repository root}
/usr/bin/python3 -m unittest discover -s "$root/tools/skin" -p 'test_*.py' 2>&1 | tail -n 3
