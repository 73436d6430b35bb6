#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need that this machine lacks.
# Safe to run again: packages already present are left alone. Never adds the i386 architecture;
# wine64 alone runs the x86_64 build.
set -euo pipefail

PACKAGES=(
  cmake make ccache g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xdotool x11-utils imagemagick
  python3 python3-pil fonts-dejavu-core fonts-wqy-microhei
  libpugixml-dev nsis nlohmann-json3-dev libssl-dev openssl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "setup: all build and test packages are present"
fi
