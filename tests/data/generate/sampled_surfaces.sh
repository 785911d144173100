#!/bin/bash
# Lid-driven cavity (10x10x1, icoFoam) with a 'surfaces' function object
# named sampleSurface (surfaceFormat foam) sampling p and U on
#   midPlane - cutting plane x = 0.055 (sampled surface type "plane",
#              untriangulated: one quad per cut cell)
#   lid      - the movingWall patch
# at every write time (0.05 0.1 0.15).
# Usage: sampled_surfaces.sh [OUTDIR]   (default: ../sampled_surfaces)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../sampled_surfaces}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.15 0.05 ascii off
cd "$CASE"
cat >> system/controlDict <<'DICT'

functions
{
    sampleSurface
    {
        type            surfaces;
        libs            ("libsampling.so");
        writeControl    writeTime;
        surfaceFormat   foam;
        fields          (p U);
        interpolationScheme cellPoint;

        surfaces
        (
            midPlane
            {
                type        plane;
                planeType   pointAndNormal;
                pointAndNormalDict
                {
                    point   (0.055 0.05 0.005);
                    normal  (1 0 0);
                }
                triangulate false;
                interpolate false;
            }
            lid
            {
                type        patch;
                patches     (movingWall);
                interpolate false;
            }
        );
    }
}
DICT
run_log sampled_surfaces.blockMesh blockMesh
run_log sampled_surfaces.icoFoam icoFoam
cleanup_case "$CASE"
