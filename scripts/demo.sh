#!/usr/bin/env bash
# Installs what is missing, builds, and runs the reference host on the bundled example.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

build_dir="$FOAMPROVIDER_ROOT/build"
install_missing_packages
configure_and_build "$build_dir" -DCMAKE_BUILD_TYPE=Release

host="$build_dir/host/vxphost"
echo "== vxphost plugin"
"$host" plugin
echo "== vxphost supports examples/cavity/case.foam"
"$host" supports "$FOAMPROVIDER_ROOT/examples/cavity/case.foam" || true
