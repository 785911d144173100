#!/bin/bash
# Lid-driven cavity (10x10x1) decomposed into 2 processors (simple method,
# split in x) and run in parallel: blockMesh; decomposePar;
# mpirun -np 2 icoFoam -parallel. If mpirun does not work, the case is run
# serially and decomposed afterwards with decomposePar -time ':'.
# The root keeps constant/polyMesh and 0/ (no reconstructed times).
# Usage: decomposed.sh [OUTDIR]   (default: ../decomposed)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../decomposed}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.15 0.05 ascii off
cd "$CASE"
write_decompose_dict . 2 "2 1 1"

run_log decomposed.blockMesh blockMesh
run_log decomposed.decomposePar decomposePar
if mpirun -np 2 icoFoam -parallel > /tmp/foamgen-logs/decomposed.icoFoam.log 2>&1; then
    echo "decomposed: ran in parallel"
else
    echo "decomposed: mpirun failed, running serially and decomposing all times" >&2
    rm -rf processor*
    run_log decomposed.icoFoam.serial icoFoam
    run_log decomposed.decomposePar.time decomposePar -time ':'
    rm -rf [1-9]* 0.[0-9]*
fi
cleanup_case "$CASE"
