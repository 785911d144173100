#!/usr/bin/env bash
# Times `vxphost geometry` on generated 1M-cell cases (ascii and binary) beside VTK's OpenFOAM
# reader doing the same work (internal mesh and all patches, polyhedra not decomposed, no
# arrays): wall time and peak memory, several runs each.
#   bench/geometry_vs_vtk.sh [BUILD_DIR] [N] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
n="${2:-100}"
runs="${3:-3}"
work="${BENCH_WORK:-/tmp/foamprovider-bench}"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }
/usr/bin/python3 -c "import vtk" 2>/dev/null || { echo "needs python3-vtk9"; exit 1; }

for format in ascii binary; do
  [ -d "$work/$format$n" ] || "$build/bench/make_bench_case" "$work/$format$n" "$n" "$format"
done

cat > "$work/vtk_geometry.py" <<'PY'
import sys, vtk
r = vtk.vtkOpenFOAMReader()
r.SetFileName(sys.argv[1])
r.UpdateInformation()
r.SetDecomposePolyhedra(0)
r.CreateCellToPointOff()
r.DisableAllCellArrays(); r.DisableAllPointArrays(); r.DisableAllLagrangianArrays()
for i in range(r.GetNumberOfPatchArrays()):
    r.SetPatchArrayStatus(r.GetPatchArrayName(i), 1)
r.Update()
PY

measure() {
  local label="$1"; shift
  for run in $(seq "$runs"); do
    /usr/bin/time -f "$label run $run: %e s wall, %M KB peak" "$@" > /dev/null 2> "$work/time.log" || true
    tail -n 1 "$work/time.log"
  done
}

for format in ascii binary; do
  case="$work/$format$n/case.foam"
  echo "== $format, $(du -sh "$work/$format$n/constant" | cut -f1) of mesh files"
  measure "vxphost geometry" "$build/host/vxphost" --quiet --log-level 0 geometry "$case"
  measure "vtk reader      " /usr/bin/python3 "$work/vtk_geometry.py" "$case"
done
