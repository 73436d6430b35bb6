#!/usr/bin/env bash
# Configures and builds the project: build/native (Linux: portable code, tests, q350ctl),
# build/win64 (the Windows programs that the tests run under Wine) and build/win32 (the 32-bit
# programs, compiled and linked only).
#   tools/build.sh [native] [win64] [win32]     (default: all three)
# Q350_BUILD_ROOT moves the three build folders elsewhere (default: build/ in the source tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native win64 win32)
jobs=${Q350_JOBS:-$(nproc)}

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

for t in "${targets[@]}"; do
  dir="${Q350_BUILD_ROOT:-$root/build}/$t"
  args=(-S "$root" -B "$dir" -DQ350_WERROR=ON "${launcher[@]}")
  case $t in
    native) ;;
    win64) args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DQ350_BUILD_TESTS=OFF) ;;
    *) echo "build: unknown build '$t' (native, win64, win32)" >&2; exit 2 ;;
  esac
  echo "== build $t =="
  # Configure every time: new folders with a CMakeLists.txt are picked up by globbing.
  cmake "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
done
