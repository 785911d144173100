#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and configures and
# builds into the given folder. Sourced by demo.sh and test.sh.

FOAMPROVIDER_PACKAGES=(cmake ninja-build g++ pkg-config binutils libtbb-dev zlib1g-dev libgtest-dev libgmock-dev
  libbenchmark-dev libcli11-dev nlohmann-json3-dev)

install_missing_packages() {
  local missing=()
  for package in "${FOAMPROVIDER_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# configure_and_build BUILD_DIR [extra cmake arguments...]
# Builds every target, or only those named in FOAMPROVIDER_TARGETS (blank-separated).
configure_and_build() {
  local build_dir="$1"
  shift
  cmake -S "$FOAMPROVIDER_ROOT" -B "$build_dir" -G Ninja "$@"
  local targets=()
  for target in ${FOAMPROVIDER_TARGETS:-}; do targets+=(--target "$target"); done
  cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
}

FOAMPROVIDER_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
