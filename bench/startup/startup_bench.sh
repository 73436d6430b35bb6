#!/usr/bin/env bash
# Time from process start to a visible main window under Wine, for Q350Config.exe against a fresh
# simulated mouse and for bare_window.exe started the same way; prints the medians and the ratio,
# the private memory of both once their window shows (as Windows counts it), and the time to shape
# a window after its key colour beside a naive per-pixel region.
#   bench/startup/startup_bench.sh [WIN64_BUILD_DIR] [RUNS]
# Q350Config.exe shows its window by its 500 ms start timer (part of the figure) when the system has
# been up more than five minutes; otherwise it stays in the tray, and after six seconds without a
# window this benchmark wakes it with a second start, which is then part of the figure (the output
# says so).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
runs=${2:-5}
export Q350_BUILD_DIR=$build Q350_WINE_TOOLS=$root/tools/wine
. "$root/tools/wine/common.sh"
q350_wine_paths "$build"
"$root/tools/wine/wine-env.sh" start "$build" >/dev/null
. "$Q350_SESSION_FILE"
export DISPLAY
loader=$(q350_wine_loader)
q350ctl=${Q350_Q350CTL:-$(dirname "$build")/native/bin/q350ctl}
app="$build/bench-startup-app"
rm -rf "$app" && mkdir -p "$app" && cp -r "$build/bin/." "$app/"
# As it ships: without debug information (see tools/installer/stage.sh).
find "$app" \( -name '*.exe' -o -name '*.dll' \) -print0 | xargs -0 -r x86_64-w64-mingw32-strip --strip-debug
"$q350ctl" device virtual new "$app/mouse.state" >/dev/null || { echo "no q350ctl"; exit 1; }
export Q350_VIRTUAL_MOUSE="Z:$app/mouse.state"

bare_exe="$build/bench/bare_window.exe"
mkdir -p "$build/bench"
x86_64-w64-mingw32-g++ -O2 -municode -mwindows -static -o "$bare_exe" \
  "$root/bench/startup/bare_window.cpp" || { echo "cannot build bare_window.exe"; exit 1; }

now_ms() { date +%s%3N; }

memory_exe="$build/bench/process_memory.exe"
region_exe="$build/bench/region_bench.exe"
[ -f "$memory_exe" ] && [ -f "$region_exe" ] ||
  { echo "build the win64 targets process_memory and region_bench first"; exit 1; }
MEMORY_FILE=$(mktemp)
# memory TITLE EXE: "private working-set" in KB of the program showing that window, to
# MEMORY_FILE. Wine's processes report no private usage of their own, so the private figure is
# what Linux counts for the process (its private pages, Wine's own included; the bare window shows
# that share); the working set is Windows' figure.
memory() {
  sleep 2  # what the window does right after it shows is part of its figure
  local ws pid private
  ws=$(WINELOADER="$loader" "$loader" "$memory_exe" "$1" 2>/dev/null | tr -d '\r' | awk '{ print $4 }')
  pid=$(pgrep -f "$(basename "$2")\$" | head -n 1)
  private=$(awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$pid/smaps_rollup" 2>/dev/null)
  echo "${private:-0} ${ws:-0}" >>"$MEMORY_FILE"
}

# measure EXE TITLE [WAKE]: milliseconds until a visible window with the title exists.
measure() {
  local exe=$1 title=$2 wake=${3:-} start pid id="" woke=0 waker=""
  start=$(now_ms)
  WINELOADER="$loader" "$loader" "$exe" >/dev/null 2>&1 &
  pid=$!
  while [ $(( $(now_ms) - start )) -lt 60000 ]; do
    id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    if [ -n "$wake" ] && [ $woke = 0 ] && [ $(( $(now_ms) - start )) -gt 6000 ]; then
      WINELOADER="$loader" "$loader" "$exe" >/dev/null 2>&1 &
      waker=$!
      woke=1
      echo "  (woken by a second start)" >&2
    fi
    sleep 0.02
  done
  local elapsed=$(( $(now_ms) - start ))
  [ -n "$id" ] && [ -n "${MEASURE_MEMORY:-}" ] && memory "$title" "$exe"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  [ -n "$waker" ] && { kill "$waker" 2>/dev/null; wait "$waker" 2>/dev/null; }
  sleep 1
  # A program killed while it talked to the simulated mouse can leave the state file's lock
  # behind, and the next start would wait for it: every start begins as the first did.
  rm -rf "$app/mouse.state.lock"
  q350_wine reg delete 'HKLM\Software\QUORV\Q350Config' /f >/dev/null 2>&1 || true
  [ -n "$id" ] && echo "$elapsed" || echo "-1"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

# One unmeasured start of each so that Wine's own first-start work is not counted.
measure "$bare_exe" "Q350 Bare Window" >/dev/null
measure "$app/Q350Config.exe" "Quorv Q350 Gaming Mouse Driver" wake >/dev/null

bare=() app_times=()
for i in $(seq 1 "$runs"); do
  bare+=("$(measure "$bare_exe" "Q350 Bare Window")")
  app_times+=("$(measure "$app/Q350Config.exe" "Quorv Q350 Gaming Mouse Driver" wake)")
done
b=$(printf '%s\n' "${bare[@]}" | median)
a=$(printf '%s\n' "${app_times[@]}" | median)
echo "runs: $runs"
echo "bare_window.exe to visible window:  ${b} ms (median; all: ${bare[*]})"
echo "Q350Config.exe to visible window:   ${a} ms (median; all: ${app_times[*]})"
awk -v a="$a" -v b="$b" 'BEGIN { if (b > 0) printf "ratio Q350Config / bare: %.2f\n", a / b }'
# The program shows its window by its 500 ms start timer: the budget counts the time without it.
awk -v a="$a" -v b="$b" 'BEGIN { if (b > 0) printf "ratio without the 500 ms start timer: %.2f (budget 1.5)\n", (a - 500) / b }'

# Memory, once each window shows.
: >"$MEMORY_FILE"
MEASURE_MEMORY=1 measure "$bare_exe" "Q350 Bare Window" >/dev/null
MEASURE_MEMORY=1 measure "$app/Q350Config.exe" "Quorv Q350 Gaming Mouse Driver" wake >/dev/null
read -r bare_private bare_ws < <(sed -n 1p "$MEMORY_FILE")
read -r app_private app_ws < <(sed -n 2p "$MEMORY_FILE")
rm -f "$MEMORY_FILE"
awk -v p="${bare_private:-0}" -v w="${bare_ws:-0}" 'BEGIN { printf "bare_window.exe private memory: %.1f MB (working set %.1f MB)\n", p / 1024, w / 1024 }'
awk -v p="${app_private:-0}" -v w="${app_ws:-0}" 'BEGIN { printf "Q350Config.exe private memory:  %.1f MB (working set %.1f MB; budget 48 MB private)\n", p / 1024, w / 1024 }'

# Shaping a window after its key colour.
WINELOADER="$loader" "$loader" "$region_exe" "Z:$build/bin/skins/Main_Normal.bmp" 5 | tr -d '\r'
