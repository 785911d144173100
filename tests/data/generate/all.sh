#!/bin/bash
# Regenerate every test case under tests/data and the demo case
# examples/cavity (runs one solver at a time; about half a minute).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
for s in cavity_multi_time cavity_binary_gz multi_region decomposed zones \
         sampled_surfaces polyhedra tensors reconstructed decomposed_12 \
         topology_change multi_region_decomposed sampled_surfaces_regions handwritten \
         collated multi_region_collated moving_mesh examples_cavity; do
    echo "== $s"
    "$HERE/$s.sh"
done
