#!/bin/bash
# Lid-driven cavity (10x10x1) as a user keeps it after a parallel run:
# blockMesh; decomposePar (2 processors, simple, split in x);
# mpirun -np 2 icoFoam -parallel up to 0.1; reconstructPar; then endTime
# raised to 0.2 and icoFoam continued serially at the root from 0.1. The
# processor folders (times 0 0.05 0.1) stay beside the root's times
# 0 0.05 0.1 0.15 0.2.
# Beside them the folders people leave in a case, none of them a time for
# OpenFOAM: 0.orig (a copy of 0, as tutorials ship their initial fields),
# 0.05.bak and 5_old (copies of 0.05), .0.3 (hidden) and 0x10 (a copy of 0.1).
# Usage: reconstructed.sh [OUTDIR]   (default: ../reconstructed)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../reconstructed}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.1 0.05 ascii off
cd "$CASE"
write_decompose_dict . 2 "2 1 1"

run_log reconstructed.blockMesh blockMesh
run_log reconstructed.decomposePar decomposePar
run_log reconstructed.icoFoam.parallel mpirun --oversubscribe -np 2 icoFoam -parallel
run_log reconstructed.reconstructPar reconstructPar
sed -i 's/^endTime .*/endTime         0.2;/; s/^startFrom .*/startFrom       latestTime;/' system/controlDict
run_log reconstructed.icoFoam.serial icoFoam

cp -r 0 0.orig
cp -r 0.05 0.05.bak
cp -r 0.05 5_old
cp -r 0.1 .0.3
cp -r 0.1 0x10
cleanup_case "$CASE"
