#!/bin/bash
# Mixed-shape mesh, 25 cells: blockMesh with degenerate (collapsed-vertex)
# blocks gives hexahedra, prisms, pyramids and tetrahedra; refineHexMesh then
# splits the corner hex at the origin into 8, turning its 6 face/edge
# neighbours into polyhedra (hanging points).
# Result: 9 hexahedra, 4 prisms, 4 pyramids, 2 tetrahedra, 6 polyhedra.
# 0/ has a hand-written p and C (cell centres) from postProcess.
# Usage: polyhedra.sh [OUTDIR]   (default: ../polyhedra)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../polyhedra}")
prepare_case "$CASE"
cd "$CASE"
{
    foam_header dictionary blockMeshDict system
    cat <<'DICT'
// A cube of 2x2x2 hexahedra with three degenerate blocks attached:
//   a prism block on the x=1 face (edge 8-9 collapsed): 4 prisms
//   a pyramid block on the z=1 face (apex 10):          4 pyramids
//   a tetrahedral block on the prism block's top (apex 11): 2 tetrahedra
vertices
(
    (0 0 0) (1 0 0) (1 1 0) (0 1 0)
    (0 0 1) (1 0 1) (1 1 1) (0 1 1)
    (2 0.5 0) (2 0.5 1) (0.5 0.5 1.5) (1.6 0.5 1.6)
);

blocks
(
    hex (0 1 2 3 4 5 6 7)       (2 2 2) simpleGrading (1 1 1)
    hex (1 8 8 2 5 9 9 6)       (1 2 2) simpleGrading (1 1 1)
    hex (4 5 6 7 10 10 10 10)   (2 2 1) simpleGrading (1 1 1)
    hex (5 9 9 6 11 11 11 11)   (1 2 1) simpleGrading (1 1 1)
);

boundary
(
    floor
    {
        type wall;
        faces ((0 3 2 1));
    }
);

defaultPatch
{
    name    walls;
    type    wall;
}
DICT
} > system/blockMeshDict
{
    foam_header dictionary topoSetDict system
    cat <<'DICT'
actions
(
    {
        name    refineCells;
        type    cellSet;
        action  new;
        source  boxToCell;
        box     (0 0 0) (0.5 0.5 0.5);
    }
);
DICT
} > system/topoSetDict
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
    foam_header volScalarField p 0
    cat <<'DICT'
dimensions      [0 2 -2 0 0 0 0];

internalField   uniform 0;

boundaryField
{
    floor
    {
        type            fixedValue;
        value           uniform 1;
    }
    walls
    {
        type            zeroGradient;
    }
}
DICT
} > 0/p
run_log polyhedra.blockMesh blockMesh
run_log polyhedra.topoSet topoSet
run_log polyhedra.refineHexMesh refineHexMesh refineCells -overwrite
# drop the refinement bookkeeping (only used by dynamic refinement) and sets
rm -rf constant/polyMesh/sets constant/polyMesh/cellLevel constant/polyMesh/pointLevel \
       constant/polyMesh/level0Edge constant/polyMesh/refinementHistory constant/cellToRegion
run_log polyhedra.postProcess postProcess -func writeCellCentres -time 0
run_log polyhedra.checkMesh checkMesh
cleanup_case "$CASE"
