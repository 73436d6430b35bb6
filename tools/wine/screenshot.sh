#!/usr/bin/env bash
# Saves a picture of a visible window, found by its exact title, once it appears:
#   screenshot.sh TITLE OUT.png [SECONDS]
# Needs DISPLAY (the Wine session's). Exit status 1 when no such window showed up in time.
set -euo pipefail
title=${1:?window title}
out=${2:?output file}
wait_s=${3:-30}
mkdir -p "$(dirname "$out")"
deadline=$((SECONDS + wait_s))
id=""
while [ $SECONDS -lt $deadline ]; do
  id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
  [ -n "$id" ] && break
  sleep 0.3
done
if [ -z "$id" ]; then echo "screenshot: no window titled '$title'" >&2; exit 1; fi
sleep "${Q350_SCREENSHOT_SETTLE:-1}"   # let the window finish painting
import -window "$id" "$out"
echo "$out"
