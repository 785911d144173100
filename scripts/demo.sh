#!/usr/bin/env bash
# Installs what is missing, builds, and runs the reference host on the bundled example case:
# its meta data, its geometry, and an export of everything into out/ (VTK files for ParaView).
set -euo pipefail
source "$(dirname "$0")/setup.sh"

build_dir="$FOAMPROVIDER_ROOT/build"
install_missing_packages
configure_and_build "$build_dir" -DCMAKE_BUILD_TYPE=Release

host="$build_dir/host/vxphost"
example="$FOAMPROVIDER_ROOT/examples/cavity/case.foam"
echo "== vxphost plugin"
"$host" plugin
echo "== vxphost supports $example"
"$host" supports "$example"
echo "== vxphost info"
"$host" info "$example"
echo "== vxphost geometry"
"$host" geometry "$example"
echo "== vxphost export --out out/cavity"
"$host" export "$example" --out "$FOAMPROVIDER_ROOT/out/cavity"
echo "Open out/cavity/*.pvd in ParaView."
