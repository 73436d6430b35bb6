#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# $Q350_BUILD_ROOT/fuzz (default: build/fuzz). The portable sources are compiled once into one
# archive (through ccache when it is installed); each target links what it needs from it.
#   fuzz/build.sh [TARGET...]          (default: every target listed in fuzz/targets)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${Q350_BUILD_ROOT:-$root/build}/fuzz
jobs=${Q350_JOBS:-2}
mkdir -p "$out/obj"

cxx="clang++"
if command -v ccache >/dev/null 2>&1; then cxx="ccache clang++"; fi
flags="-std=c++20 -O1 -g -fno-omit-frame-pointer -I$root -DJSON_USE_IMPLICIT_CONVERSIONS=0"
flags+=" -fsanitize=address,undefined -fno-sanitize-recover=undefined"

# Everything portable that the targets reach, the Linux pieces where there is a choice.
cd "$root"
sources=(base/*.cpp base/linux/*.cpp device/*.cpp config/*.cpp lang/*.cpp lang/linux/*.cpp
         app/host_actions.cpp skin/bmp_file.cpp)
rm -f "$out"/obj/*.o
export cxx flags out
printf '%s\n' "${sources[@]}" | xargs -P "$jobs" -I{} sh -c \
  'obj="$out/obj/$(echo "$1" | tr / _).o"; $cxx $flags -fsanitize=fuzzer-no-link -c "$1" -o "$obj"' \
  sh {}
rm -f "$out/libq350_fuzz.a"
ar rcs "$out/libq350_fuzz.a" "$out"/obj/*.o

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' fuzz/targets | awk '{print $1}')
fi
for t in "${targets[@]}"; do
  src=$(sed -e 's/#.*//' fuzz/targets | awk -v t="$t" '$1 == t {print $2}')
  [ -n "$src" ] || { echo "fuzz: unknown target '$t'" >&2; exit 2; }
  # shellcheck disable=SC2086
  $cxx $flags -fsanitize=fuzzer "$src" "$out/libq350_fuzz.a" -lcrypto -o "$out/${t}_fuzz"
done
echo "fuzz: built ${targets[*]} in $out"
