#!/bin/bash
# Box of 6x4x2 hexahedra with zones made by topoSet zone actions:
#   cellZones  corner (x>0.3, y<0.2: 12 cells), rest (36 cells)
#   faceZones  interface (the 10 internal faces between corner and rest,
#              oriented by setsToFaceZone with cellSet corner, mixed flipMap),
#              outletFaces (the 8 faces of patch outlet, no flips)
#   pointZones inletPoints (the 15 points on x=0)
# 0/ has hand-written p and U plus C (cell centres) and V (cell volumes)
# written by postProcess.
# Usage: zones.sh [OUTDIR]   (default: ../zones)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../zones}")
prepare_case "$CASE"
cd "$CASE"
{
    foam_header dictionary blockMeshDict system
    cat <<'DICT'
scale   0.1;

vertices
(
    (0 0 0) (6 0 0) (6 4 0) (0 4 0)
    (0 0 2) (6 0 2) (6 4 2) (0 4 2)
);

blocks
(
    hex (0 1 2 3 4 5 6 7) (6 4 2) simpleGrading (1 1 1)
);

boundary
(
    inlet
    {
        type patch;
        faces ((0 4 7 3));
    }
    outlet
    {
        type patch;
        faces ((1 2 6 5));
    }
    walls
    {
        type wall;
        faces ((0 1 5 4) (3 7 6 2) (0 3 2 1) (4 5 6 7));
    }
);
DICT
} > system/blockMeshDict
{
    foam_header dictionary controlDict system
    cat <<'DICT'
application     simpleFoam;
startFrom       startTime;
startTime       0;
stopAt          endTime;
endTime         1;
deltaT          1;
writeControl    timeStep;
writeInterval   1;
writeFormat     ascii;
writePrecision  6;
writeCompression off;
timeFormat      general;
timePrecision   6;
runTimeModifiable false;
DICT
} > system/controlDict
{
    foam_header dictionary fvSchemes system
    cat <<'DICT'
ddtSchemes          { default steadyState; }
gradSchemes         { default Gauss linear; }
divSchemes          { default none; }
laplacianSchemes    { default Gauss linear corrected; }
interpolationSchemes { default linear; }
snGradSchemes       { default corrected; }
DICT
} > system/fvSchemes
{
    foam_header dictionary fvSolution system
    echo 'solvers {}'
} > system/fvSolution
{
    foam_header dictionary topoSetDict system
    cat <<'DICT'
actions
(
    // cell zones
    { name corner; type cellSet; action new; source boxToCell;
      box (0.3 0 0) (0.6 0.2 0.2); }
    { name rest; type cellSet; action new; source cellToCell; set corner; }
    { name rest; type cellSet; action invert; }
    { name corner; type cellZoneSet; action new; source setToCellZone; set corner; }
    { name rest; type cellZoneSet; action new; source setToCellZone; set rest; }

    // internal faces between corner and rest, oriented by cellSet corner
    { name interface; type faceSet; action new; source cellToFace;
      set corner; option all; }
    { name interface; type faceSet; action subset; source cellToFace;
      set rest; option all; }
    { name interface; type faceZoneSet; action new; source setsToFaceZone;
      faceSet interface; cellSet corner; }

    // boundary faces of the outlet patch
    { name outletFaces; type faceSet; action new; source patchToFace;
      patch outlet; }
    { name outletFaces; type faceZoneSet; action new; source setToFaceZone;
      faceSet outletFaces; }

    // points on the inlet plane
    { name inletPoints; type pointSet; action new; source boxToPoint;
      box (-0.001 -0.001 -0.001) (0.001 0.401 0.201); }
    { name inletPoints; type pointZoneSet; action new; source setToPointZone;
      set inletPoints; }
);
DICT
} > system/topoSetDict
{
    foam_header volScalarField p 0
    cat <<'DICT'
dimensions      [0 2 -2 0 0 0 0];

internalField   uniform 0;

boundaryField
{
    inlet
    {
        type            zeroGradient;
    }
    outlet
    {
        type            fixedValue;
        value           uniform 0;
    }
    walls
    {
        type            zeroGradient;
    }
}
DICT
} > 0/p
{
    foam_header volVectorField U 0
    cat <<'DICT'
dimensions      [0 1 -1 0 0 0 0];

internalField   uniform (1 0 0);

boundaryField
{
    inlet
    {
        type            fixedValue;
        value           uniform (1 0 0);
    }
    outlet
    {
        type            zeroGradient;
    }
    walls
    {
        type            noSlip;
    }
}
DICT
} > 0/U
run_log zones.blockMesh blockMesh
run_log zones.topoSet topoSet
run_log zones.postProcess postProcess -func writeCellCentres -time 0
run_log zones.postProcess2 postProcess -func writeCellVolumes -time 0
run_log zones.checkMesh checkMesh
cleanup_case "$CASE"
