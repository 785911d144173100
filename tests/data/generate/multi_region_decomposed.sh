#!/bin/bash
# The multiRegionHeater tutorial (chtMultiRegionFoam, 5 regions: bottomWater,
# topAir fluids; heater, leftSolid, rightSolid solids) decomposed with
# decomposePar -allRegions into 4 processors and run two time steps in
# parallel, exactly as its Allrun does (without the final reconstructPar).
# Changes to the tutorial: the mesh is 15x5x5 instead of 30x10x10 (the
# heater box is widened so it still holds cells), fixed time step 0.001, the
# second step written (endTime 0.002), no vtkWrite function object.
# The tutorial keeps 0.orig beside 0 (restore0Dir copies it).
# The same run reconstructed (reconstructPar -allRegions in a copy) gives the
# facts listed in ../README.md; REFERENCE=DIR keeps that copy in DIR.
# FILE_HANDLER=collated decomposes and runs with -fileHandler collated instead
# (multi_region_collated.sh), without the reconstructed copy.
# Usage: multi_region_decomposed.sh [OUTDIR]   (default: ../multi_region_decomposed)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../multi_region_decomposed}")
TUTORIAL=/usr/share/doc/openfoam-examples/examples/heatTransfer/chtMultiRegionFoam/multiRegionHeater
rm -rf "$CASE"
mkdir -p "$(dirname "$CASE")"
cp -r "$TUTORIAL" "$CASE"
chmod -R u+w "$CASE"
cd "$CASE"
rm -f Allrun Allrun.pre Allclean README.txt system/README system/vtkWrite
: > case.foam

# Coarser mesh; the heater box (x within +-0.01001, y below 0.01) widened to
# hold whole cells of it.
sed -i 's/(30 10 10)/(15 5 5)/' system/blockMeshDict
sed -i 's/-0.01001 0 -100) (0.01001 0.00999 100)/-0.01334 0 -100) (0.01334 0.01599 100)/;
        s/-0.01001 -100 -0.01001) (0.01001 0.00999 0.01001)/-0.01334 -100 -0.01001) (0.01334 0.01599 0.01001)/;
        s/(-100 0 -100) (-0.01001 0.00999 100)/(-100 0 -100) (-0.01334 0.01599 100)/;
        s/(0.01001 0 -100) (100 0.00999 100)/(0.01334 0 -100) (100 0.01599 100)/;
        s/(-100 0.00999 -100) (100 100 100)/(-100 0.01599 -100) (100 100 100)/' system/topoSetDict
sed -i 's/^startFrom .*/startFrom       startTime;/;
        s/^startTime .*/startTime       0;/;
        s/^endTime .*/endTime         0.002;/;
        s/^writeControl .*/writeControl    timeStep;/;
        s/^writeInterval .*/writeInterval   2;/;
        s/^adjustTimeStep .*/adjustTimeStep  no;/' system/controlDict
sed -i '/^functions/,$d' system/controlDict
# One decomposition for every region: 4 processors, 2x2 in x and y (Debian's
# OpenFOAM has no scotch).
for dict in system/decomposeParDict system/*/decomposeParDict; do
    sed -i 's/^numberOfSubdomains .*/numberOfSubdomains 4;/; s/^method .*/method          simple;/' "$dict"
done

run_log mrd.blockMesh blockMesh
run_log mrd.topoSet topoSet
rm -rf 0 && cp -r 0.orig 0
run_log mrd.splitMeshRegions splitMeshRegions -cellZones -overwrite
for region in heater leftSolid rightSolid; do
    rm -f 0/$region/{nut,alphat,epsilon,k,U,p_rgh}
done
for region in bottomWater topAir heater leftSolid rightSolid; do
    run_log mrd.changeDictionary.$region changeDictionary -region $region
done
HANDLER=()
[ "${FILE_HANDLER:-}" = collated ] && HANDLER=(-fileHandler collated)
run_log mrd.decomposePar decomposePar -allRegions "${HANDLER[@]}"
run_log mrd.chtMultiRegionFoam mpirun --oversubscribe -np 4 chtMultiRegionFoam -parallel "${HANDLER[@]}"
if [ "${#HANDLER[@]}" -gt 0 ]; then
    cleanup_case "$CASE"
    exit 0
fi

# The reconstructed run, for the facts in the README.
REF=${REFERENCE:-$(mktemp -d)}
rm -rf "$REF" && cp -r "$CASE" "$REF"
(cd "$REF" && run_log mrd.reconstructPar reconstructPar -allRegions)
echo "multi_region_decomposed: reconstructed copy in $REF"
cleanup_case "$CASE"
