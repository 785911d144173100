#!/bin/bash
# Lid-driven cavity (10x10x1) whose mesh changes topology during the run:
# blockMesh; icoFoam up to 0.05; topoSet (cellSet "corner": the 3x3 cells at
# the lid's left end); refineHexMesh corner without -overwrite, which writes
# the refined mesh (9 cells split 2x2x2: 163 cells) with its mapped fields
# into the next time folder 0.055 (constant/polyMesh stays as it was); then
# icoFoam continues from 0.055 up to 0.105 on the refined mesh, writing only
# fields into 0.105 (it reads the mesh from 0.055/polyMesh; the write interval
# counts from the start time 0.055).
# Usage: topology_change.sh [OUTDIR]   (default: ../topology_change)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../topology_change}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.05 0.05 ascii off
cd "$CASE"
{
    foam_header dictionary topoSetDict system
    cat <<'DICT'
actions
(
    {
        name    corner;
        type    cellSet;
        action  new;
        source  boxToCell;
        box     (0 0.07 -1) (0.03 0.1 1);
    }
);
DICT
} > system/topoSetDict

run_log topology_change.blockMesh blockMesh
run_log topology_change.icoFoam.1 icoFoam
sed -i 's/^startFrom .*/startFrom       latestTime;/' system/controlDict
run_log topology_change.topoSet topoSet
run_log topology_change.refineHexMesh refineHexMesh corner
sed -i 's/^endTime .*/endTime         0.105;/' system/controlDict
run_log topology_change.icoFoam.2 icoFoam
rm -rf constant/polyMesh/sets
cleanup_case "$CASE"
