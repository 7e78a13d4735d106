#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing, and builds
# everything into build/ (and, for ./test, the Windows programs into build-win/). Sourced by
# ./run and ./test.
set -euo pipefail

VMK_PACKAGES=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
  libboost-math-dev
  qt6-base-dev qt6-svg-dev qt6-translations-l10n fonts-ipafont-gothic xvfb xauth
  xclip libgdal-dev gdal-bin clang libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64-posix googletest wine wine64)

vmk_install_missing() {
  local missing=()
  local p
  for p in "${VMK_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    "${missing[@]}" >/dev/null
}

vmk_build() {
  local root="$1"
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" -j "$jobs"
}

# The core, the command lines and the window for 64-bit Windows (MinGW-w64), into build-win/, with the tests
# that run under wine and compare with build/; then the wine prefix of build-win/ (made once).
# The 64-bit wine alone runs them: no i386 architecture is needed.
vmk_build_windows() {
  local root="$1"
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  # Optimized as the Linux build, without debug information: the tests only run it.
  cmake -S "$root" -B "$root/build-win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DVMK_COMPARE_WITH="$root/build" >/dev/null
  cmake --build "$root/build-win" -j "$jobs"
  "$root/scripts/wine-run.sh" "$root/build-win/wine" --init
}
