# Helpers for whole-program tests; source after the harness sets Q350_BUILD_DIR and Q350_WINE_TOOLS.
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY

E2E_PIDS=()
E2E_FAILURES=0

e2e_fail() { echo "FAIL: $*"; E2E_FAILURES=$((E2E_FAILURES + 1)); }

# e2e_start EXE [ARGS...]: starts a Windows program in the background; its pid is in E2E_PID.
e2e_start() {
  local loader
  loader=$(q350_wine_loader)
  WINELOADER="$loader" "$loader" "$@" &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# Ends every program this test started (by pid).
e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap e2e_cleanup EXIT

# e2e_window_id TITLE SECONDS: prints the X window id of a visible window with that exact title.
e2e_window_id() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  return 1
}

e2e_finish() {
  if [ "$E2E_FAILURES" -ne 0 ]; then exit 1; fi
  echo "$(basename "$0" .sh): all checks passed"
}

# ---- the configuration program against a simulated mouse ---------------------------------------

# The Linux tool beside this build (native build of the same build root).
E2E_Q350CTL=${Q350_Q350CTL:-$(dirname "$Q350_BUILD_DIR")/native/bin/q350ctl}
E2E_TITLE="Quorv Q350 Gaming Mouse Driver"

# e2e_app_folder NAME: a fresh program folder (a copy of bin/) under the build folder; prints it.
e2e_app_folder() {
  local dir="$Q350_BUILD_DIR/e2e/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -r "$Q350_BUILD_DIR/bin/." "$dir/"
  # As installed: the profile folder and an empty macro library beside the program.
  mkdir -p "$dir/Profile"
  truncate -s 2052000 "$dir/Macro.cfg"
  # As on a machine where the program never ran: the prefix's registry outlives the folders.
  q350_wine reg delete 'HKLM\Software\QUORV\Q350Config' /f >/dev/null 2>&1 || true
  echo "$dir"
}

# e2e_new_mouse STATE [q350ctl options]: a fresh simulated mouse; exports Q350_VIRTUAL_MOUSE.
e2e_new_mouse() {
  local state=$1
  shift
  "$E2E_Q350CTL" device virtual new "$state" >/dev/null || return 1
  if [ $# -gt 0 ]; then "$E2E_Q350CTL" device virtual set "$state" "$@" >/dev/null || return 1; fi
  export Q350_VIRTUAL_MOUSE="Z:$state"
}

# e2e_exits PID SECONDS: true when the process ends within the time.
e2e_exits() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.2
  done
  return 1
}

# e2e_click WINDOW X Y: a real left click at a point of the window.
e2e_click() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.2 click 1
  sleep 0.3
}

# e2e_pointer_away WINDOW: moves the pointer onto an empty spot of the window (no hover looks).
e2e_pointer_away() {
  xdotool mousemove --window "$1" 480 30
  sleep 0.5
}

# e2e_shot WINDOW FILE: a screenshot of the window.
e2e_shot() {
  mkdir -p "$(dirname "$2")"
  import -window "$1" "$2"
}

# e2e_dump STATE: the simulated mouse's settings without its command counter.
e2e_dump() {
  "$E2E_Q350CTL" device dump --virtual "$1" | grep -v "commands received"
}

# ---- what the page tests share -------------------------------------------------------------------

# e2e_page_test INPUT_EXE: the start of a page test: the click driver (win/e2e_input.cpp) that
# `input` runs, the screenshot folder in $shots, the sheet matcher in $match; without q350ctl the
# test ends at once.
e2e_page_test() {
  input_exe=${1:?e2e_input.exe}
  loader=$(q350_wine_loader)
  shots="$Q350_BUILD_DIR/screenshots"
  match="/usr/bin/python3 $(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/sheet_match.py"
  mkdir -p "$shots"
  if [ ! -x "$E2E_Q350CTL" ]; then
    echo "q350ctl not found at $E2E_Q350CTL (build the native tree of the same build root)"
    exit 1
  fi
}

# input ARGS...: the click driver (see win/e2e_input.cpp).
input() { WINELOADER="$loader" "$loader" "$input_exe" "$@" >/dev/null; }

# mtime FILE: modification time to the nanosecond, or "none".
mtime() { stat -c %y "$1" 2>/dev/null || echo none; }

# apply WHAT: presses Apply in the main window and waits until $app/Profile/Profile1.cfg is
# written again.
apply() {
  local before deadline
  before=$(mtime "$app/Profile/Profile1.cfg")
  input click "$E2E_TITLE" 870 612 || e2e_fail "$1: no Apply button"
  deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(mtime "$app/Profile/Profile1.cfg")" != "$before" ] && { sleep 0.5; return 0; }
    sleep 0.3
  done
  e2e_fail "$1: Apply did not save Profile1.cfg"
  return 1
}
