#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh             release build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build in build-sanitize/
set -euo pipefail
source "$(dirname "$0")/setup.sh"

build_dir="$FOAMPROVIDER_ROOT/build"
cmake_args=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir="$FOAMPROVIDER_ROOT/build-sanitize"
  cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOAMPROVIDER_SANITIZE=ON -DFOAMPROVIDER_BUILD_BENCH=OFF)
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
fi

install_missing_packages
configure_and_build "$build_dir" "${cmake_args[@]}"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
