#!/usr/bin/env bash
# Times `vxphost result` for the vector field U of generated 1M-cell cases (ascii and binary),
# per element and node-averaged, beside VTK's OpenFOAM reader reading the same field as cell
# data (and with its cell-to-point interpolation for the node-averaged case): wall time and
# peak memory, several runs each.
#   bench/result_vs_vtk.sh [BUILD_DIR] [N] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
n="${2:-100}"
runs="${3:-3}"
work="${BENCH_WORK:-/tmp/foamprovider-bench}"
/usr/bin/python3 -c "import vtk" 2>/dev/null || { echo "needs python3-vtk9"; exit 1; }
mkdir -p "$work"
for format in ascii binary; do
  [ -d "$work/$format$n" ] || "$build/bench/make_bench_case" "$work/$format$n" "$n" "$format"
done

cat > "$work/vtk_result.py" <<'PY'
import sys, vtk
r = vtk.vtkOpenFOAMReader()
r.SetFileName(sys.argv[1])
r.UpdateInformation()
r.SetDecomposePolyhedra(0)
r.SetCreateCellToPoint(1 if sys.argv[2] == "point" else 0)
r.DisableAllCellArrays(); r.DisableAllPointArrays(); r.DisableAllLagrangianArrays()
r.SetCellArrayStatus("U", 1)
for i in range(r.GetNumberOfPatchArrays()):
    r.SetPatchArrayStatus(r.GetPatchArrayName(i), 1)
times = r.GetTimeValues()
r.UpdateTimeStep(times.GetValue(times.GetNumberOfTuples() - 1))
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
  echo "== $format"
  measure "vxphost result Velocity       " "$build/host/vxphost" --quiet --log-level 0 result "$case" --state 1 --result Velocity
  measure "vtk reader cell data          " /usr/bin/python3 "$work/vtk_result.py" "$case" cell
  measure "vxphost result Velocity [node]" "$build/host/vxphost" --quiet --log-level 0 result "$case" --state 1 --result "Velocity [node]"
  measure "vtk reader cell-to-point      " /usr/bin/python3 "$work/vtk_result.py" "$case" point
done
