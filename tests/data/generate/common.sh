#!/bin/bash
# Shared helpers for the case generation scripts in this folder.
# Source it from a case script; it needs the Debian 'openfoam' package (v1912).
set -euo pipefail
export WM_PROJECT_DIR=${WM_PROJECT_DIR:-/usr/share/openfoam}
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1

# foam_header CLASS OBJECT [LOCATION]  -> prints a FoamFile header
foam_header() {
    echo 'FoamFile'
    echo '{'
    echo '    version     2.0;'
    echo '    format      ascii;'
    echo "    class       $1;"
    [ -n "${3:-}" ] && echo "    location    \"$3\";"
    echo "    object      $2;"
    echo '}'
    echo
}

# run_log NAME CMD... : run an OpenFOAM utility, log to /tmp, fail loudly
run_log() {
    local name=$1; shift
    local log="${LOGDIR:-/tmp/foamgen-logs}/$name.log"
    mkdir -p "$(dirname "$log")"
    if ! "$@" > "$log" 2>&1; then
        echo "FAILED: $* (see $log)" >&2
        tail -30 "$log" >&2
        exit 1
    fi
}

# prepare_case DIR : make an empty case folder (removing an old one)
prepare_case() {
    rm -rf "$1"
    mkdir -p "$1/system" "$1/constant" "$1/0"
    : > "$1/case.foam"
}

# cleanup_case DIR : remove run-time leftovers that are not case data
cleanup_case() {
    find "$1" -name 'log.*' -delete
    find "$1" -type d -name dynamicCode -prune -exec rm -rf {} +
}

# write_decompose_dict DIR N "NX NY NZ" : system/decomposeParDict for N
# processors, simple method
write_decompose_dict() {
    {
        foam_header dictionary decomposeParDict system
        cat <<DICT
numberOfSubdomains $2;

method          simple;

coeffs
{
    n           ($3);
}
DICT
    } > "$1/system/decomposeParDict"
}

# write_cavity_dicts DIR NX NY ENDTIME WRITEINTERVAL(s) FORMAT COMPRESSION [DELTAT]
# Writes the dictionaries of a lid-driven cavity (0.1 x 0.1 x 0.01 m, lid
# speed 1 m/s, nu 0.01) for icoFoam.
write_cavity_dicts() {
    local dir=$1 nx=$2 ny=$3 endTime=$4 writeInterval=$5 fmt=$6 comp=$7 dt=${8:-0.005}
    {
        foam_header dictionary blockMeshDict system
        cat <<DICT
scale   0.1;

vertices
(
    (0 0 0) (1 0 0) (1 1 0) (0 1 0)
    (0 0 0.1) (1 0 0.1) (1 1 0.1) (0 1 0.1)
);

blocks
(
    hex (0 1 2 3 4 5 6 7) ($nx $ny 1) simpleGrading (1 1 1)
);

boundary
(
    movingWall
    {
        type wall;
        faces ((3 7 6 2));
    }
    fixedWalls
    {
        type wall;
        faces ((0 4 7 3) (2 6 5 1) (1 5 4 0));
    }
    frontAndBack
    {
        type empty;
        faces ((0 3 2 1) (4 5 6 7));
    }
);
DICT
    } > "$dir/system/blockMeshDict"

    {
        foam_header dictionary controlDict system
        cat <<DICT
application     icoFoam;
startFrom       startTime;
startTime       0;
stopAt          endTime;
endTime         $endTime;
deltaT          $dt;
writeControl    runTime;
writeInterval   $writeInterval;
purgeWrite      0;
writeFormat     $fmt;
writePrecision  6;
writeCompression $comp;
timeFormat      general;
timePrecision   6;
runTimeModifiable false;
DICT
    } > "$dir/system/controlDict"

    {
        foam_header dictionary fvSchemes system
        cat <<'DICT'
ddtSchemes          { default Euler; }
gradSchemes         { default Gauss linear; }
divSchemes          { default none; div(phi,U) Gauss linear; }
laplacianSchemes    { default Gauss linear corrected; }
interpolationSchemes { default linear; }
snGradSchemes       { default corrected; }
DICT
    } > "$dir/system/fvSchemes"

    {
        foam_header dictionary fvSolution system
        cat <<'DICT'
solvers
{
    p
    {
        solver          PCG;
        preconditioner  DIC;
        tolerance       1e-06;
        relTol          0.05;
    }
    pFinal
    {
        $p;
        relTol          0;
    }
    U
    {
        solver          smoothSolver;
        smoother        symGaussSeidel;
        tolerance       1e-05;
        relTol          0;
    }
}

PISO
{
    nCorrectors     2;
    nNonOrthogonalCorrectors 0;
    pRefCell        0;
    pRefValue       0;
}
DICT
    } > "$dir/system/fvSolution"

    {
        foam_header dictionary transportProperties constant
        echo 'nu              0.01;'
    } > "$dir/constant/transportProperties"

    {
        foam_header volVectorField U 0
        cat <<'DICT'
dimensions      [0 1 -1 0 0 0 0];

internalField   uniform (0 0 0);

boundaryField
{
    movingWall
    {
        type            fixedValue;
        value           uniform (1 0 0);
    }
    fixedWalls
    {
        type            noSlip;
    }
    frontAndBack
    {
        type            empty;
    }
}
DICT
    } > "$dir/0/U"

    {
        foam_header volScalarField p 0
        cat <<'DICT'
dimensions      [0 2 -2 0 0 0 0];

internalField   uniform 0;

boundaryField
{
    movingWall
    {
        type            zeroGradient;
    }
    fixedWalls
    {
        type            zeroGradient;
    }
    frontAndBack
    {
        type            empty;
    }
}
DICT
    } > "$dir/0/p"
}
