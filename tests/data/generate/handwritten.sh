#!/bin/bash
# Cavity mesh (20x20x1) with 0/ files written the way people write them:
# #include "include/initialConditions" with $-names, #includeEtc
# "caseDicts/setConstraintTypes", a patch-group key (wall), quoted regular
# expression keys, entries out of patch order, a scoped $:name, and a
# volTensorField T. OpenFOAM's own reading of U and p is kept beside them:
# postProcess writes mag(U) and mag(p) from the resolved fields.
# Usage: handwritten.sh [OUTDIR]   (default: ../handwritten)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../handwritten}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 20 20 0.1 0.1 ascii off
cd "$CASE"
run_log handwritten-blockMesh blockMesh
mkdir -p 0/include
cat > 0/include/initialConditions <<'DICT'
flowVelocity    (1 0 0);
pressure        5;
DICT
{
    foam_header volVectorField U 0
    cat <<'DICT'
#include "include/initialConditions"
speeds { lid (3 0 0); }
dimensions      [0 1 -1 0 0 0 0];
internalField   uniform $flowVelocity;
boundaryField
{
    #includeEtc "caseDicts/setConstraintTypes"
    wall { type noSlip; }
    "(moving.*)" { type fixedValue; value uniform (2 0 0); }
    movingWall
    {
        type            fixedValue;
        value           uniform $:speeds.lid;
    }
}
DICT
} > 0/U
{
    foam_header volScalarField p 0
    cat <<'DICT'
#include "include/initialConditions"
dimensions      [0 2 -2 0 0 0 0];
internalField   uniform $pressure;
boundaryField
{
    ".*Wall.*" { type fixedValue; value uniform 7; }
    movingWall { type zeroGradient; }
    frontAndBack { type empty; }
}
DICT
} > 0/p
{
    foam_header volTensorField T 0
    cat <<'DICT'
dimensions      [0 0 -1 0 0 0 0];
internalField   uniform (1 2 3 4 5 6 7 8 9);
boundaryField
{
    ".*" { type fixedValue; value uniform (9 8 7 6 5 4 3 2 1); }
    frontAndBack { type empty; }
}
DICT
} > 0/T
run_log handwritten-magU postProcess -func 'mag(U)' -time 0
run_log handwritten-magp postProcess -func 'mag(p)' -time 0
cleanup_case "$CASE"
