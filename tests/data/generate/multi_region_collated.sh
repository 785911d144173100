#!/bin/bash
# multi_region_decomposed.sh with the collated file handler: the same set-up
# decomposed (decomposePar -allRegions -fileHandler collated) and run
# (mpirun -np 4 chtMultiRegionFoam -parallel -fileHandler collated) into
# processors4. Read, it must give exactly what multi_region_decomposed gives.
# Usage: multi_region_collated.sh [OUTDIR]   (default: ../multi_region_collated)
HERE=$(cd "$(dirname "$0")" && pwd)
FILE_HANDLER=collated exec "$HERE/multi_region_decomposed.sh" "$(realpath -m "${1:-$HERE/../multi_region_collated}")"
