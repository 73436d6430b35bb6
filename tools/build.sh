#!/usr/bin/env bash
# Configures and builds the project: build/native (Linux: portable code, tests, q350ctl),
# build/win64 (the Windows programs that the tests run under Wine) and build/win32 (the 32-bit
# programs, compiled and linked only); on request build/asan, the native tree built with
# AddressSanitizer and UndefinedBehaviorSanitizer (any finding ends the program with an error).
#   tools/build.sh [native] [win64] [win32] [asan]     (default: native, win64 and win32)
# Q350_BUILD_ROOT moves the build folders elsewhere (default: build/ in the source tree).
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
    asan)
      # GCC's flow analysis warns of uninitialised values inside the standard library once the
      # sanitizers instrument it; the plain native build keeps that warning.
      sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
      sanitize+=" -Wno-maybe-uninitialized"
      args+=(-DCMAKE_C_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS="$sanitize"
             -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
             -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined") ;;
    win64) args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DQ350_BUILD_TESTS=OFF) ;;
    *) echo "build: unknown build '$t' (native, win64, win32, asan)" >&2; exit 2 ;;
  esac
  echo "== build $t =="
  # Configure every time: new folders with a CMakeLists.txt are picked up by globbing.
  cmake "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
done
