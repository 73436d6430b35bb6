#!/usr/bin/env bash
# stage.sh FOLDER STRIP: the program folder as it ships: programs and libraries without their
# debug information, and none of what a run of the program or its tests leaves behind.
set -euo pipefail
stage=${1:?folder}
strip=${2:?strip}
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -print0 | xargs -0 -r "$strip" --strip-debug
rm -rf "$stage/Profile"
mkdir -p "$stage/Profile" "$stage/update/new_version"
find "$stage" \( -name '*.state' -o -name '*.state.lock' -o -name '*.log' \) -delete
