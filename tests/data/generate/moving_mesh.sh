#!/bin/bash
# Cavity (8x8x1) whose whole mesh turns about the z axis through the cavity's
# centre (solidBody rotatingMotion, 2 rad/s), its walls (movingWallVelocity)
# driving the flow, while pimpleFoam runs to 0.03: every written time folder
# holds polyMesh/points (the moved points; faces, owner and neighbour stay in
# constant/polyMesh) beside U, Uf, p, phi and meshPhi. The points give the
# case's displacement result.
# Usage: moving_mesh.sh [OUTDIR]   (default: ../moving_mesh)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../moving_mesh}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 8 8 0.03 0.01 ascii off
cd "$CASE"
sed -i 's/^application .*/application     pimpleFoam;/' system/controlDict
sed -i 's/^PISO/PIMPLE/; s/^    nCorrectors     2;/    nCorrectors     2;\n    nOuterCorrectors 1;\n    correctPhi      no;/' \
    system/fvSolution
sed -i 's/^    U$/    "U.*"/' system/fvSolution
echo 'transportModel  Newtonian;' >> constant/transportProperties
# The walls turn with the mesh and drive the flow.
sed -i 's/type            fixedValue;/type            movingWallVelocity;/; s/value           uniform (1 0 0);/value           uniform (0 0 0);/; s/type            noSlip;/type            movingWallVelocity;\n        value           uniform (0 0 0);/' 0/U
sed -i 's/div(phi,U) Gauss linear;/div(phi,U) Gauss linear; div((nuEff*dev2(T(grad(U))))) Gauss linear;/' system/fvSchemes
{
    foam_header dictionary turbulenceProperties constant
    echo 'simulationType  laminar;'
} > constant/turbulenceProperties
{
    foam_header dictionary dynamicMeshDict constant
    cat <<'DICT'
dynamicFvMesh   dynamicMotionSolverFvMesh;
motionSolverLibs ("libfvMotionSolvers.so");
solver          solidBody;
solidBodyCoeffs
{
    solidBodyMotionFunction rotatingMotion;
    rotatingMotionCoeffs
    {
        origin      (0.05 0.05 0);
        axis        (0 0 1);
        omega       2;
    }
}
DICT
} > constant/dynamicMeshDict
run_log moving_mesh.blockMesh blockMesh
run_log moving_mesh.pimpleFoam pimpleFoam
cleanup_case "$CASE"
