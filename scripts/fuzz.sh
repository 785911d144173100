#!/usr/bin/env bash
# Builds the libFuzzer targets with AddressSanitizer and UBSan (clang) and runs each for the
# given number of seconds (default 60), then prints per target the inputs run and inputs per
# second. Each target starts from the committed seeds and regression inputs in
# fuzz/corpus/<target>, seeds taken from tests/data, and what earlier runs added in
# build-fuzz/corpus/<target>. Inputs that fail land in build-fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
source "$(dirname "$0")/setup.sh"
seconds="${1:-60}"
shift || true
all_targets=(fuzz_dictionary fuzz_dictionary_directives fuzz_boundary_zones fuzz_lists fuzz_fields fuzz_surface
  fuzz_case fuzz_collated)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi
install_missing_packages clang libclang-rt-dev

build_dir="$FOAMPROVIDER_ROOT/build-fuzz"
CC=clang CXX=clang++ FOAMPROVIDER_TARGETS="${targets[*]}" configure_and_build "$build_dir" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOAMPROVIDER_SANITIZE=ON -DFOAMPROVIDER_FUZZ=ON -DFOAMPROVIDER_BUILD_TESTS=OFF \
  -DFOAMPROVIDER_BUILD_BENCH=OFF

data="$FOAMPROVIDER_ROOT/tests/data"
corpus="$build_dir/corpus"
seed() {  # seed TARGET PREFIX_BYTE FILES...
  local target="$1" prefix="$2"; shift 2
  mkdir -p "$corpus/$target"
  local file name
  for file in "$@"; do
    [ -f "$file" ] || continue
    name="seed-${prefix:-x}-$(echo "$file" | tr '/' '_')"
    { if [ -n "$prefix" ]; then printf "\\x$prefix"; fi; head -c 65536 "$file"; } > "$corpus/$target/$name"
  done
}
seed fuzz_dictionary "" "$data"/cavity_multi_time/system/controlDict "$data"/cavity_multi_time/0.1/uniform/time \
  "$data"/handwritten/system/controlDict
seed fuzz_dictionary_directives 00 "$data"/handwritten/0/U "$data"/handwritten/0/p "$data"/handwritten/0/T \
  "$data"/handwritten/0/include/initialConditions "$data"/handwritten/system/fvSolution
seed fuzz_boundary_zones "" "$data"/zones/constant/polyMesh/boundary "$data"/zones/constant/polyMesh/cellZones \
  "$data"/zones/constant/polyMesh/faceZones
seed fuzz_lists 00 "$data"/cavity_multi_time/constant/polyMesh/points
seed fuzz_lists 01 "$data"/cavity_multi_time/constant/polyMesh/owner
seed fuzz_lists 02 "$data"/cavity_multi_time/constant/polyMesh/faces "$data"/polyhedra/constant/polyMesh/faces
seed fuzz_fields 00 "$data"/cavity_multi_time/0.1/p "$data"/handwritten/0/p
seed fuzz_fields 01 "$data"/cavity_multi_time/0.1/U "$data"/handwritten/0/U
seed fuzz_fields 03 "$data"/tensors/0.1/"grad(U)"
seed fuzz_fields 02 "$data"/tensors/0.1/"turbulenceProperties:R"
seed fuzz_fields 08 "$data"/sampled_surfaces/postProcessing/sampleSurface/0.05/midPlane/scalarField/p
seed fuzz_surface 00 "$data"/sampled_surfaces/postProcessing/sampleSurface/0.05/midPlane/points
seed fuzz_surface 01 "$data"/sampled_surfaces/postProcessing/sampleSurface/0.05/midPlane/faces
seed fuzz_case 04 "$data"/zones/constant/polyMesh/boundary
seed fuzz_case 05 "$data"/zones/constant/polyMesh/cellZones
seed fuzz_collated 00 "$data"/collated_binary/processors4/constant/polyMesh/points
seed fuzz_collated 01 "$data"/collated_binary/processors4/constant/polyMesh/owner
seed fuzz_collated 02 "$data"/collated_binary/processors4/constant/polyMesh/faces
seed fuzz_collated 03 "$data"/collated_binary/processors4/0.1/p "$data"/multi_region_collated/processors4/0.002/heater/T

# Memory: any single allocation above 512 MB is a finding (the inputs are a few kilobytes).
# Allocation stacks of five frames and libFuzzer's plain scheduling (-entropic=0): the full
# stacks and entropic's per-feature bookkeeping each cost about a fifth of every input here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:malloc_context_size=5}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
printf "%-28s %12s %10s\n" target inputs inputs/s > "$build_dir/fuzz-summary.txt"
for target in "${targets[@]}"; do
  echo "== $target for $seconds s"
  mkdir -p "$corpus/$target" "$build_dir/artifacts/$target"
  committed="$FOAMPROVIDER_ROOT/fuzz/corpus/$target"
  [ -d "$committed" ] || committed=""
  log="$build_dir/$target.log"
  if ! "$build_dir/fuzz/$target" "$corpus/$target" $committed -max_total_time="$seconds" -timeout=10 -entropic=0 \
      -rss_limit_mb=2048 -malloc_limit_mb=512 -artifact_prefix="$build_dir/artifacts/$target/" \
      -print_final_stats=1 2> "$log"; then
    echo "FAILED: $target (see $log and $build_dir/artifacts/$target/)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  printf "%-28s %12s %10s\n" "$target" "${runs:-?}" "${rate:-?}" | tee -a "$build_dir/fuzz-summary.txt"
done
echo
cat "$build_dir/fuzz-summary.txt"
exit $status
