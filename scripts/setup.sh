#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing, and builds
# everything into build/. Sourced by ./run and ./test.
set -euo pipefail

VMK_PACKAGES=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev fonts-ipafont-gothic xvfb xauth
  xclip libgdal-dev gdal-bin clang libclang-rt-14-dev llvm)

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
