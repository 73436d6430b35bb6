#!/usr/bin/env bash
# Checks the program folder's executables and DLLs:
# - none imports a mingw runtime DLL (they must run without anything beside them);
# - Q350Config.exe asks for administrator rights, bootlaunch.exe runs as the invoking user, both
#   are DPI-aware, and Q350Config.exe binds the version 6 common controls.
set -uo pipefail
bin=${1:?program folder}
objdump=${2:?objdump}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

shopt -s nullglob
files=("$bin"/*.exe "$bin"/*.dll)
[ ${#files[@]} -gt 0 ] || fail "no binaries in $bin"
for f in "${files[@]}"; do
  imports=$("$objdump" -p "$f" | sed -n 's/^\s*DLL Name: //p')
  bad=$(grep -i -E '^(libstdc\+\+|libgcc_s|libwinpthread|libssp)' <<<"$imports" || true)
  [ -z "$bad" ] || fail "$(basename "$f") needs mingw runtime DLLs: $bad"
done

manifest_has() { grep -a -q -- "$2" "$bin/$1" || fail "$1: manifest lacks $2"; }
manifest_has Q350Config.exe 'level="requireAdministrator"'
manifest_has Q350Config.exe 'Microsoft.Windows.Common-Controls'
manifest_has Q350Config.exe '<dpiAware>true</dpiAware>'
manifest_has bootlaunch.exe 'level="asInvoker"'
manifest_has bootlaunch.exe '<dpiAware>true</dpiAware>'

[ "$failures" -eq 0 ] || exit 1
echo "packaging: ${#files[@]} binaries checked"
