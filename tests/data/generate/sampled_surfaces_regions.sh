#!/bin/bash
# The two-region slab of multi_region.sh (regions heater and plate), run with
# chtMultiRegionFoam up to 10 with these function objects, as users name them:
#   sampleSurface (region heater, foam): cutting plane "cut" at x = 0.1
#   surfaces      (region heater, foam): the same plane "cut"
#   planes        (region plate, foam, face values): cutting plane "cut2" at x = 0.6
#   surfacesVtk   (region heater, vtk), surfacesRaw (region plate, raw)
#   probes        (region plate): one probe of T
# OpenFOAM v1912 writes every surface function object to
# postProcessing/<name>/<time>; newer versions write a region's function
# objects to postProcessing/<region>/<name>/<time>: the script moves
# postProcessing/surfaces to postProcessing/heater/surfaces to give that form.
# (probes write postProcessing/probes/plate/0 in v1912 already.)
# Usage: sampled_surfaces_regions.sh [OUTDIR]   (default: ../sampled_surfaces_regions)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../sampled_surfaces_regions}")
"$HERE/multi_region.sh" "$CASE" > /dev/null
cd "$CASE"
rm -rf 10 20 30
sed -i 's/^endTime .*/endTime         10;/' system/controlDict
cat >> system/controlDict <<'DICT'

functions
{
    sampleSurface
    {
        type            surfaces;
        libs            ("libsampling.so");
        region          heater;
        writeControl    writeTime;
        surfaceFormat   foam;
        fields          (T);
        interpolationScheme cellPoint;
        surfaces
        (
            cut
            {
                type        cuttingPlane;
                planeType   pointAndNormal;
                pointAndNormalDict { point (0.1 0.25 0.05); normal (1 0 0); }
                interpolate true;
            }
        );
    }
    surfaces
    {
        $sampleSurface;
    }
    planes
    {
        $sampleSurface;
        region          plate;
        surfaces
        (
            cut2
            {
                type        cuttingPlane;
                planeType   pointAndNormal;
                pointAndNormalDict { point (0.6 0.25 0.05); normal (1 0 0); }
                interpolate false;
            }
        );
    }
    surfacesVtk
    {
        $sampleSurface;
        surfaceFormat   vtk;
    }
    surfacesRaw
    {
        $planes;
        surfaceFormat   raw;
    }
    probes
    {
        type            probes;
        libs            ("libsampling.so");
        region          plate;
        fields          (T);
        probeLocations  ((0.6 0.25 0.05));
    }
}
DICT
run_log sampled_surfaces_regions.chtMultiRegionFoam chtMultiRegionFoam
mkdir -p postProcessing/heater
mv postProcessing/surfaces postProcessing/heater/surfaces
cleanup_case "$CASE"
