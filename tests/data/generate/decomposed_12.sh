#!/bin/bash
# Lid-driven cavity (12x12x1) decomposed into 12 processors (simple, 4x3 in
# x and y, 12 cells each) and run in parallel:
# blockMesh; decomposePar; mpirun -np 12 icoFoam -parallel, written at 0.05.
# A listing gives the processor folders in any order (processor1,
# processor10, processor11, processor2, ...).
# Usage: decomposed_12.sh [OUTDIR]   (default: ../decomposed_12)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../decomposed_12}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 12 12 0.05 0.05 ascii off
cd "$CASE"
write_decompose_dict . 12 "4 3 1"

run_log decomposed_12.blockMesh blockMesh
run_log decomposed_12.decomposePar decomposePar
run_log decomposed_12.icoFoam mpirun --oversubscribe -np 12 icoFoam -parallel
cleanup_case "$CASE"
