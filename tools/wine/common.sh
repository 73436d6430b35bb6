# Shared by the Wine harness scripts: where the build's Wine session lives and how Wine is run.
# Source it; it defines q350_find_build_dir, q350_wine_paths and q350_wine.

# The build folder that holds a path: the nearest parent with a CMakeCache.txt.
q350_find_build_dir() {
  local dir
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
  while [ "$dir" != "/" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then echo "$dir"; return 0; fi
    dir=$(dirname "$dir")
  done
  return 1
}

# Sets Q350_WINE_DIR, WINEPREFIX and Q350_SESSION_FILE for a build folder.
q350_wine_paths() {
  Q350_WINE_DIR="$1/wine"
  export WINEPREFIX="$Q350_WINE_DIR/prefix"
  Q350_SESSION_FILE="$Q350_WINE_DIR/session.env"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono or Gecko installers: our programs need neither.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  export WINEARCH=win64
}

# The 64-bit Wine loader (no 32-bit Wine is installed or needed).
q350_wine_loader() {
  if command -v wine64 >/dev/null 2>&1; then command -v wine64
  elif [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
  else command -v wine
  fi
}

q350_wine() {
  local loader
  loader=$(q350_wine_loader)
  WINELOADER="$loader" "$loader" "$@"
}

# q350_own_output COMMAND...: runs the command with its output going through a file that a reader
# copies to this script's output until the command ends. Wine starts helper processes (the desktop
# process, services) from whichever program needs them first, and they keep that program's output
# open for as long as any Windows program of the session runs; ctest would wait for them. Through
# the file they hold only the file. The command's exit status is returned.
q350_own_output() {
  local out pid status reader
  out=$(mktemp "${TMPDIR:-/tmp}/q350-output.XXXXXX") || return 2
  "$@" >"$out" 2>&1 </dev/null &
  pid=$!
  tail -n +1 -s 0.2 -f --pid="$pid" "$out" &
  reader=$!
  trap 'kill "$pid" 2>/dev/null' TERM INT
  wait "$pid"
  status=$?
  trap - TERM INT
  wait "$reader" 2>/dev/null
  rm -f "$out"
  return $status
}
