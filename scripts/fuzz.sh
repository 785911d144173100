#!/usr/bin/env bash
# Builds the libFuzzer targets with AddressSanitizer and UBSan (clang) and runs each for the
# given number of seconds (default 60) on its corpus, seeded from tests/data.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
source "$(dirname "$0")/setup.sh"
seconds="${1:-60}"
install_missing_packages clang libclang-rt-dev

build_dir="$FOAMPROVIDER_ROOT/build-fuzz"
CC=clang CXX=clang++ configure_and_build "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOAMPROVIDER_SANITIZE=ON \
  -DFOAMPROVIDER_FUZZ=ON -DFOAMPROVIDER_BUILD_TESTS=OFF -DFOAMPROVIDER_BUILD_BENCH=OFF

data="$FOAMPROVIDER_ROOT/tests/data"
corpus="$build_dir/corpus"
seed() {  # seed TARGET PREFIX_BYTE FILES...
  local target="$1" prefix="$2"; shift 2
  mkdir -p "$corpus/$target"
  local i=0
  for file in "$@"; do
    [ -f "$file" ] || continue
    { if [ -n "$prefix" ]; then printf "\\x$prefix"; fi; head -c 65536 "$file"; } > "$corpus/$target/seed$i"
    i=$((i + 1))
  done
}
seed fuzz_dictionary "" "$data"/cavity_multi_time/system/controlDict "$data"/cavity_multi_time/0.1/uniform/time
seed fuzz_boundary_zones "" "$data"/zones/constant/polyMesh/boundary "$data"/zones/constant/polyMesh/cellZones \
  "$data"/zones/constant/polyMesh/faceZones
seed fuzz_lists 00 "$data"/cavity_multi_time/constant/polyMesh/points
seed fuzz_lists 01 "$data"/cavity_multi_time/constant/polyMesh/owner
seed fuzz_lists 02 "$data"/cavity_multi_time/constant/polyMesh/faces "$data"/polyhedra/constant/polyMesh/faces
seed fuzz_fields 00 "$data"/cavity_multi_time/0.1/p
seed fuzz_fields 01 "$data"/cavity_multi_time/0.1/U
seed fuzz_surface 00 "$data"/sampled_surfaces/postProcessing/sampleSurface/0.05/midPlane/points
seed fuzz_surface 01 "$data"/sampled_surfaces/postProcessing/sampleSurface/0.05/midPlane/faces
seed fuzz_case 04 "$data"/zones/constant/polyMesh/boundary
seed fuzz_case 05 "$data"/zones/constant/polyMesh/cellZones
seed fuzz_collated 00 "$data"/collated_binary/processors4/constant/polyMesh/points
seed fuzz_collated 01 "$data"/collated_binary/processors4/constant/polyMesh/owner
seed fuzz_collated 02 "$data"/collated_binary/processors4/constant/polyMesh/faces
seed fuzz_collated 03 "$data"/collated_binary/processors4/0.1/p "$data"/multi_region_collated/processors4/0.002/heater/T

status=0
for target in fuzz_dictionary fuzz_boundary_zones fuzz_lists fuzz_fields fuzz_surface fuzz_case fuzz_collated; do
  echo "== $target for $seconds s"
  mkdir -p "$corpus/$target" "$build_dir/artifacts/$target"
  if ! "$build_dir/fuzz/$target" "$corpus/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -artifact_prefix="$build_dir/artifacts/$target/" -print_final_stats=1 2> "$build_dir/$target.log"; then
    echo "FAILED: $target (see $build_dir/$target.log)"
    status=1
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build_dir/$target.log" | tail -n 2 || true
done
exit $status
