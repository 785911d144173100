#!/bin/bash
# Lid-driven cavity (10x10x1) run with pisoFoam and the k-epsilon RAS model.
# Function objects write, at every write time (0.05 0.1 0.15):
#   grad(U)                 volTensorField      (function object 'grad')
#   turbulenceProperties:R  volSymmTensorField  (function object 'turbulenceFields')
#   wallShearStress         volVectorField      (function object 'wallShearStress')
# besides the solver fields U p phi k epsilon nut.
# Usage: tensors.sh [OUTDIR]   (default: ../tensors)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../tensors}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.15 0.05 ascii off
cd "$CASE"
sed -i 's/^application .*/application     pisoFoam;/' system/controlDict
cat >> system/controlDict <<'DICT'

functions
{
    gradU
    {
        type            grad;
        libs            ("libfieldFunctionObjects.so");
        field           U;
        writeControl    writeTime;
    }
    turbulence
    {
        type            turbulenceFields;
        libs            ("libfieldFunctionObjects.so");
        fields          (R);
        writeControl    writeTime;
    }
    wallShearStress
    {
        type            wallShearStress;
        libs            ("libfieldFunctionObjects.so");
        patches         (movingWall fixedWalls);
        writeControl    writeTime;
        log             false;
    }
}
DICT
{
    foam_header dictionary fvSchemes system
    cat <<'DICT'
ddtSchemes          { default Euler; }
gradSchemes         { default Gauss linear; }
divSchemes
{
    default         none;
    div(phi,U)      Gauss limitedLinearV 1;
    div(phi,k)      Gauss limitedLinear 1;
    div(phi,epsilon) Gauss limitedLinear 1;
    div((nuEff*dev2(T(grad(U))))) Gauss linear;
}
laplacianSchemes    { default Gauss linear corrected; }
interpolationSchemes { default linear; }
snGradSchemes       { default corrected; }
wallDist            { method meshWave; }
DICT
} > system/fvSchemes
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
    "(U|k|epsilon)"
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
} > system/fvSolution
{
    foam_header dictionary transportProperties constant
    echo 'transportModel  Newtonian;'
    echo 'nu              1e-05;'
} > constant/transportProperties
{
    foam_header dictionary turbulenceProperties constant
    cat <<'DICT'
simulationType  RAS;

RAS
{
    RASModel        kEpsilon;
    turbulence      on;
    printCoeffs     off;
}
DICT
} > constant/turbulenceProperties

# write_turb NAME DIMENSIONS VALUE WALLTYPE
write_turb() {
    {
        foam_header volScalarField $1 0
        cat <<DICT
dimensions      $2;

internalField   uniform $3;

boundaryField
{
    movingWall
    {
        type            $4;
        value           uniform $3;
    }
    fixedWalls
    {
        type            $4;
        value           uniform $3;
    }
    frontAndBack
    {
        type            empty;
    }
}
DICT
    } > 0/$1
}
write_turb k       '[0 2 -2 0 0 0 0]' 0.00375 kqRWallFunction
write_turb epsilon '[0 2 -3 0 0 0 0]' 0.012   epsilonWallFunction
write_turb nut     '[0 2 -1 0 0 0 0]' 0       nutkWallFunction

run_log tensors.blockMesh blockMesh
run_log tensors.pisoFoam pisoFoam
rm -rf postProcessing   # wallShearStress.dat log, not needed
cleanup_case "$CASE"
