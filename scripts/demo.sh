#!/usr/bin/env bash
# Installs what is missing, builds, and runs the reference host on the bundled example case:
# its meta data, its geometry, and an export of everything into out/ (VTK files for ParaView).
# The plug-in's own log lines are hidden; add them with: build/host/vxphost --log-level 3 ...
set -euo pipefail
source "$(dirname "$0")/setup.sh"

build_dir="$FOAMPROVIDER_ROOT/build"
install_missing_packages
echo "Building into build/ (the first build takes a few minutes) ..."
mkdir -p "$build_dir"
FOAMPROVIDER_TARGETS="foamprovider vxphost" configure_and_build "$build_dir" -DCMAKE_BUILD_TYPE=Release > "$build_dir/demo-build.log" 2>&1 || {
  tail -n 40 "$build_dir/demo-build.log"
  echo "The build failed; its whole output is in build/demo-build.log"
  exit 1
}

host="$build_dir/host/vxphost"
example="$FOAMPROVIDER_ROOT/examples/cavity/case.foam"
out="$FOAMPROVIDER_ROOT/out/cavity"

echo
echo "== The plug-in, as the host sees it (vxphost plugin)"
"$host" plugin | sed -n '1,8p'
echo
echo "== The example case: parts, time states and results (vxphost info examples/cavity/case.foam)"
"$host" info "$example"
echo
echo "== Its geometry: one line per element group (vxphost geometry)"
"$host" --quiet geometry "$example"
echo
echo "== Everything exported as VTK files (vxphost export --out out/cavity)"
rm -rf "$out"
"$host" --quiet export "$example" --out "$out"
echo
echo "Open out/cavity/cavity.pvd in ParaView. See README.md for every vxphost command."
