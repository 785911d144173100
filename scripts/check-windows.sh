#!/usr/bin/env bash
# Compiles every plug-in source for Windows with mingw-w64, against the oneTBB and zlib headers
# (syntax only: the Windows builds of those libraries are not on this machine), so that the
# Windows DLL keeps building from the same source.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
FOAMPROVIDER_PACKAGES=()
install_missing_packages g++-mingw-w64-x86-64 libtbb-dev zlib1g-dev

compiler=x86_64-w64-mingw32-g++-posix
headers="$(mktemp -d)"
trap 'rm -rf "$headers"' EXIT
# Only the two libraries' headers: the rest of /usr/include is Linux's and would clash.
ln -s /usr/include/oneapi "$headers/oneapi"
ln -s /usr/include/tbb "$headers/tbb"
cp /usr/include/zlib.h /usr/include/zconf.h "$headers/"

cd "$FOAMPROVIDER_ROOT"
failed=0
count=0
for source in core/*.cpp io/*.cpp model/*.cpp mesh/*.cpp plugin/*.cpp; do
  count=$((count + 1))
  if ! "$compiler" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -D_WIN32_WINNT=0x0A00 -I. -isystem "$headers" "$source"; then
    echo "FAILED: $source"
    failed=$((failed + 1))
  fi
done
echo "Windows check: $((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
