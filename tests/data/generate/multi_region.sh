#!/bin/bash
# Two-region conduction case: a blockMesh slab (8x4x1 cells) is split into
# the regions "heater" (x < 0.375, 12 cells) and "plate" (20 cells) with
# topoSet + splitMeshRegions -cellZones -overwrite. Both regions are solids
# and the coupled conduction problem is run with chtMultiRegionFoam
# (laplacianFoam has no -region option in v1912).
# Usage: multi_region.sh [OUTDIR]   (default: ../multi_region)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../multi_region}")
prepare_case "$CASE"
cd "$CASE"

{
    foam_header dictionary blockMeshDict system
    cat <<'DICT'
vertices
(
    (0 0 0) (1 0 0) (1 0.5 0) (0 0.5 0)
    (0 0 0.1) (1 0 0.1) (1 0.5 0.1) (0 0.5 0.1)
);

blocks
(
    hex (0 1 2 3 4 5 6 7) (8 4 1) simpleGrading (1 1 1)
);

boundary
(
    hot
    {
        type wall;
        faces ((0 4 7 3));
    }
    cold
    {
        type wall;
        faces ((1 2 6 5));
    }
    walls
    {
        type wall;
        faces ((0 1 5 4) (3 7 6 2));
    }
    frontAndBack
    {
        type empty;
        faces ((0 3 2 1) (4 5 6 7));
    }
);
DICT
} > system/blockMeshDict

{
    foam_header dictionary controlDict system
    cat <<'DICT'
application     chtMultiRegionFoam;
startFrom       startTime;
startTime       0;
stopAt          endTime;
endTime         30;
deltaT          1;
writeControl    runTime;
writeInterval   10;
purgeWrite      0;
writeFormat     ascii;
writePrecision  6;
writeCompression off;
timeFormat      general;
timePrecision   6;
runTimeModifiable false;
adjustTimeStep  no;
maxCo           1;
maxDi           10;
DICT
} > system/controlDict

{
    foam_header dictionary topoSetDict system
    cat <<'DICT'
actions
(
    {
        name    heaterCells;
        type    cellSet;
        action  new;
        source  boxToCell;
        box     (0 0 0) (0.375 0.5 0.1);
    }
    {
        name    plateCells;
        type    cellSet;
        action  new;
        source  cellToCell;
        set     heaterCells;
    }
    {
        name    plateCells;
        type    cellSet;
        action  invert;
    }
    {
        name    heater;
        type    cellZoneSet;
        action  new;
        source  setToCellZone;
        set     heaterCells;
    }
    {
        name    plate;
        type    cellZoneSet;
        action  new;
        source  setToCellZone;
        set     plateCells;
    }
);
DICT
} > system/topoSetDict

{
    foam_header uniformDimensionedVectorField g constant
    echo 'dimensions      [0 1 -2 0 0 0 0];'
    echo 'value           (0 0 0);'
} > constant/g

{
    foam_header dictionary regionProperties constant
    echo 'regions ( fluid () solid (heater plate) );'
} > constant/regionProperties

# Numerics of the default region (only read by the mesh utilities) and the
# outer loop of chtMultiRegionFoam
{
    foam_header dictionary fvSchemes system
    cat <<'DICT'
ddtSchemes          { default Euler; }
gradSchemes         { default Gauss linear; }
divSchemes          { default none; }
laplacianSchemes    { default Gauss linear corrected; }
interpolationSchemes { default linear; }
snGradSchemes       { default corrected; }
DICT
} > system/fvSchemes
{
    foam_header dictionary fvSolution system
    echo 'PIMPLE { nOuterCorrectors 1; }'
} > system/fvSolution

run_log multi_region.blockMesh blockMesh
run_log multi_region.topoSet topoSet
run_log multi_region.split splitMeshRegions -cellZones -overwrite

# write_solid REGION KAPPA RHO CP BOUNDARY-ENTRIES
write_solid() {
    local r=$1 kappa=$2 rho=$3 cp=$4 bcs=$5
    mkdir -p system/$r constant/$r 0/$r
    cp system/fvSchemes system/$r/fvSchemes
    sed -i "s|location    \"system\"|location    \"system/$r\"|" system/$r/fvSchemes
    {
        foam_header dictionary fvSolution system/$r
        cat <<'DICT'
solvers
{
    "(h|e)"
    {
        solver          PCG;
        preconditioner  DIC;
        tolerance       1e-06;
        relTol          0;
    }
    "(h|e)Final"
    {
        $h;
    }
}

PIMPLE
{
    nNonOrthogonalCorrectors 0;
}
DICT
    } > system/$r/fvSolution
    {
        foam_header dictionary thermophysicalProperties constant/$r
        cat <<DICT
thermoType
{
    type            heSolidThermo;
    mixture         pureMixture;
    transport       constIso;
    thermo          hConst;
    equationOfState rhoConst;
    specie          specie;
    energy          sensibleEnthalpy;
}

mixture
{
    specie          { molWeight 50; }
    transport       { kappa $kappa; }
    thermodynamics  { Hf 0; Cp $cp; }
    equationOfState { rho $rho; }
}
DICT
    } > constant/$r/thermophysicalProperties
    {
        foam_header dictionary radiationProperties constant/$r
        echo 'radiation       off;'
        echo 'radiationModel  none;'
    } > constant/$r/radiationProperties
    {
        foam_header volScalarField T 0/$r
        echo 'dimensions      [0 0 0 1 0 0 0];'
        echo
        echo 'internalField   uniform 300;'
        echo
        echo 'boundaryField'
        echo '{'
        echo "$bcs"
        echo '}'
    } > 0/$r/T
    {
        foam_header volScalarField p 0/$r
        cat <<'DICT'
dimensions      [1 -1 -2 0 0 0 0];

internalField   uniform 100000;

boundaryField
{
    ".*"
    {
        type            calculated;
        value           uniform 100000;
    }
    frontAndBack
    {
        type            empty;
    }
}
DICT
    } > 0/$r/p
}

COUPLED='        type            compressible::turbulentTemperatureCoupledBaffleMixed;
        Tnbr            T;
        kappaMethod     solidThermo;
        value           uniform 300;'

write_solid heater 80 1000 100 "    hot
    {
        type            fixedValue;
        value           uniform 400;
    }
    walls
    {
        type            zeroGradient;
    }
    frontAndBack
    {
        type            empty;
    }
    heater_to_plate
    {
$COUPLED
    }"

write_solid plate 20 2000 100 "    cold
    {
        type            fixedValue;
        value           uniform 300;
    }
    walls
    {
        type            zeroGradient;
    }
    frontAndBack
    {
        type            empty;
    }
    plate_to_heater
    {
$COUPLED
    }"

run_log multi_region.chtMultiRegionFoam chtMultiRegionFoam
cleanup_case "$CASE"
