#!/usr/bin/env bash
# The plug-in beside VTK's OpenFOAM reader (Debian python3-vtk9), in-process, on cases written by
# Debian's OpenFOAM: cubes of blockMesh hexahedra with the cell centres and volumes that
# `postProcess -func writeCellCentres / writeCellVolumes` writes (C, Cx, Cy, Cz, V).
#
# Modes, each timed in a fresh process per run, ours and VTK's alternating:
#   geometry  ours: getGeometry                      VTK: Update() of internal mesh + all patches,
#                                                         polyhedra kept, no arrays
#   element   ours: getGeometry + getResult C Cx Cy Cz V   VTK: the same five as cell arrays
#   node      ours: getGeometry + getResult "C [node]" ...  VTK: cell arrays with cell-to-point on
# Python's start-up is not counted: VTK's seconds are those of Update() alone. One line per case
# and mode: both medians, VTK/ours, and both processes' median peak resident memory.
#
#   bench/vs_vtk.sh [options] [CASE ...]
#     CASE: cube1M-binary cube1M-ascii cube8M-binary refined-binary tetprism-binary decomposed16-binary
#           (default: the first two); a cube of any size: cube<N>-<format> with N = 1M, 8M or edge
#           length in cells (cube50-ascii)
#     --build DIR   build folder (default: build)       --runs N   runs per side (default: 5)
#     --modes LIST  geometry,element,node (default: all)
# Cases are generated once under $BENCH_WORK (default: bench/out), never inside the source tree's
# tracked files.
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
runs=5
modes="geometry,element,node"
cases=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --modes) modes="$2"; shift 2 ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) cases+=("$1"); shift ;;
  esac
done
[ ${#cases[@]} -gt 0 ] || cases=(cube1M-binary cube1M-ascii)
work="${BENCH_WORK:-$root/bench/out}"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
export WM_PROJECT_DIR="${WM_PROJECT_DIR:-/usr/share/openfoam}"
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1

/usr/bin/python3 -c "import vtk" 2>/dev/null || { echo "needs python3-vtk9 (/usr/bin/python3)"; exit 1; }
command -v blockMesh >/dev/null || { echo "needs Debian's openfoam (blockMesh, postProcess)"; exit 1; }
requests="$build/bench/vxp_requests"
plugin="$build/libfoamprovider.so"
[ -x "$requests" ] && [ -f "$plugin" ] || { echo "build first: $requests and $plugin"; exit 1; }

# ---------------------------------------------------------------- case generation

header() {  # CLASS OBJECT
  printf 'FoamFile\n{\n    version 2.0;\n    format ascii;\n    class %s;\n    object %s;\n}\n\n' "$1" "$2"
}

run() {  # LOGNAME COMMAND...: OpenFOAM utility with its log kept beside the case
  local log="log.$1"
  shift
  "$@" > "$log" 2>&1 || { echo "failed: $* (see $PWD/$log)"; tail -5 "$log"; exit 1; }
}

write_dicts() {  # FORMAT
  mkdir -p system constant 0
  { header dictionary controlDict
    printf 'application simpleFoam;\nstartFrom startTime;\nstartTime 0;\nstopAt endTime;\nendTime 1;\n'
    printf 'deltaT 1;\nwriteControl timeStep;\nwriteInterval 1;\nwriteFormat %s;\nwritePrecision 6;\n' "$1"
    printf 'writeCompression off;\ntimeFormat general;\ntimePrecision 6;\nrunTimeModifiable false;\n'
  } > system/controlDict
  { header dictionary fvSchemes
    printf 'ddtSchemes { default steadyState; }\ngradSchemes { default Gauss linear; }\n'
    printf 'divSchemes { default none; }\nlaplacianSchemes { default Gauss linear corrected; }\n'
    printf 'interpolationSchemes { default linear; }\nsnGradSchemes { default corrected; }\n'
  } > system/fvSchemes
  { header dictionary fvSolution; echo 'solvers {}'; } > system/fvSolution
  : > case.foam
}

write_block_mesh_dict() {  # N: unit cube of N^3 cells, one patch per side
  { header dictionary blockMeshDict
    cat <<DICT
vertices ((0 0 0) (1 0 0) (1 1 0) (0 1 0) (0 0 1) (1 0 1) (1 1 1) (0 1 1));
blocks (hex (0 1 2 3 4 5 6 7) ($1 $1 $1) simpleGrading (1 1 1));
boundary
(
    xmin { type patch; faces ((0 4 7 3)); }
    xmax { type patch; faces ((1 2 6 5)); }
    ymin { type wall; faces ((0 1 5 4)); }
    ymax { type wall; faces ((3 7 6 2)); }
    zmin { type wall; faces ((0 3 2 1)); }
    zmax { type wall; faces ((4 5 6 7)); }
);
DICT
  } > system/blockMeshDict
}

write_cell_fields() {
  run writeCellCentres postProcess -func writeCellCentres -time 0
  run writeCellVolumes postProcess -func writeCellVolumes -time 0
}

edge_of() {  # 1M -> 100, 8M -> 200, 50 -> 50
  case "$1" in *M) /usr/bin/python3 -c "print(round((${1%M} * 1e6) ** (1 / 3)))" ;; *) echo "$1" ;; esac
}

make_cube() {  # FOLDER N FORMAT
  mkdir -p "$1" && cd "$1"
  write_dicts "$3"
  write_block_mesh_dict "$2"
  run blockMesh blockMesh
  write_cell_fields
}

# hexRef8 refinement (refineHexMesh) of every cube whose i, j and k are multiples of 3: the
# unrefined cubes that share a side or an edge with a refined one become polyhedra.
make_refined() {  # FOLDER FORMAT
  local n=90
  mkdir -p "$1" && cd "$1"
  write_dicts "$2"
  write_block_mesh_dict $n
  run blockMesh blockMesh
  mkdir -p constant/polyMesh/sets
  { header cellSet refineCells
    /usr/bin/python3 - "$n" <<'PY'
import sys
n = int(sys.argv[1])
cells = [i + n * (j + n * k) for k in range(0, n, 3) for j in range(0, n, 3) for i in range(0, n, 3)]
print(len(cells)); print("("); print("\n".join(map(str, cells))); print(")")
PY
  } > constant/polyMesh/sets/refineCells
  run refineHexMesh refineHexMesh refineCells -overwrite
  rm -rf constant/polyMesh/sets constant/polyMesh/cellLevel constant/polyMesh/pointLevel \
         constant/polyMesh/level0Edge constant/polyMesh/refinementHistory 0/cellLevel 0/pointLevel
  write_cell_fields
}

# Layers of tetrahedra and prisms written by the benchmark helper, then C, V by OpenFOAM.
make_tetprism() {  # FOLDER FORMAT
  mkdir -p "$1" && cd "$1"
  write_dicts "$2"
  "$build/bench/make_bench_case" "$1" 56 "$2" tetprism > /dev/null
  rm -rf 1
  write_dicts "$2"
  write_cell_fields
}

make_decomposed() {  # FOLDER FORMAT: the 1M cube in 16 processor folders
  make_cube "$1" 100 "$2"
  { header dictionary decomposeParDict
    printf 'numberOfSubdomains 16;\nmethod simple;\nsimpleCoeffs { n (4 2 2); delta 0.001; }\n'
  } > system/decomposeParDict
  run decomposePar decomposePar
}

ensure_case() {  # NAME -> folder
  local name="$1" folder="$work/$1"
  if [ ! -f "$folder/.complete" ]; then
    echo "generating $name in $folder ..." >&2
    rm -rf "$folder"
    local format="${name##*-}" kind="${name%-*}"
    ( case "$kind" in
        cube*) make_cube "$folder" "$(edge_of "${kind#cube}")" "$format" ;;
        refined) make_refined "$folder" "$format" ;;
        tetprism) make_tetprism "$folder" "$format" ;;
        decomposed16) make_decomposed "$folder" "$format" ;;
        *) echo "unknown case $name" >&2; exit 1 ;;
      esac ) >&2 || exit 1
    : > "$folder/.complete"
  fi
  echo "$folder"
}

# ---------------------------------------------------------------- measuring

cat > "$work/vtk_update.py" <<'PY'
import json, resource, sys, time
import vtk
case, mode, decomposed = sys.argv[1], sys.argv[2], sys.argv[3] == "1"
r = vtk.vtkPOpenFOAMReader() if decomposed else vtk.vtkOpenFOAMReader()
r.SetFileName(case)
if decomposed:
    # The parallel reader crashes without a controller; one process reads every processor folder.
    controller = vtk.vtkDummyController()
    vtk.vtkMultiProcessController.SetGlobalController(controller)
    r.SetController(controller)
    r.SetCaseType(0)
r.SkipZeroTimeOff()
r.UpdateInformation()
r.SetDecomposePolyhedra(0)
r.SetCreateCellToPoint(1 if mode == "node" else 0)
r.DisableAllCellArrays(); r.DisableAllPointArrays(); r.DisableAllLagrangianArrays()
if mode != "geometry":
    for name in ("C", "Cx", "Cy", "Cz", "V"):
        r.SetCellArrayStatus(name, 1)
for i in range(r.GetNumberOfPatchArrays()):
    name = r.GetPatchArrayName(i)
    r.SetPatchArrayStatus(name, 1 if name == "internalMesh" or name.startswith("patch/") else 0)
start = time.perf_counter()
r.Update()
seconds = time.perf_counter() - start
cells = 0
it = r.GetOutput().NewIterator()
it.InitTraversal()
while not it.IsDoneWithTraversal():
    cells += it.GetCurrentDataObject().GetNumberOfCells()
    it.GoToNextItem()
print(json.dumps({"seconds": seconds, "cells": cells, "peakKB": resource.getrusage(resource.RUSAGE_SELF).ru_maxrss}))
PY

ours_once() {  # FOLDER MODE -> "seconds peakKB"
  local names=()
  case "$2" in
    element) names=(C Cx Cy Cz V) ;;
    node) names=("C [node]" "Cx [node]" "Cy [node]" "Cz [node]" "V [node]") ;;
  esac
  "$requests" "$plugin" "$1/case.foam" "${names[@]}" 2>/dev/null | grep '^{' | /usr/bin/python3 -c '
import json, sys
d = json.loads(sys.stdin.read())
print(d["geometry"] + sum(d["results"]), d["peakKB"])'
}

vtk_once() {  # FOLDER MODE DECOMPOSED -> "seconds peakKB"
  /usr/bin/python3 "$work/vtk_update.py" "$1/case.foam" "$2" "$3" 2>/dev/null | /usr/bin/python3 -c '
import json, sys
d = json.loads(sys.stdin.read())
print(d["seconds"], d["peakKB"])'
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

printf '%-20s %-8s %10s %10s %8s %10s %10s\n' case mode "ours s" "VTK s" VTK/ours "ours MB" "VTK MB"
for name in "${cases[@]}"; do
  folder="$(ensure_case "$name")"
  decomposed=0; [[ "$name" == decomposed* ]] && decomposed=1
  for mode in ${modes//,/ }; do
    : > "$work/ours.txt"; : > "$work/vtk.txt"
    for run in $(seq "$runs"); do
      ours_once "$folder" "$mode" >> "$work/ours.txt"
      vtk_once "$folder" "$mode" "$decomposed" >> "$work/vtk.txt"
    done
    ours_s=$(cut -d' ' -f1 "$work/ours.txt" | median)
    vtk_s=$(cut -d' ' -f1 "$work/vtk.txt" | median)
    ours_mb=$(cut -d' ' -f2 "$work/ours.txt" | median)
    vtk_mb=$(cut -d' ' -f2 "$work/vtk.txt" | median)
    awk -v c="$name" -v m="$mode" -v o="$ours_s" -v v="$vtk_s" -v om="$ours_mb" -v vm="$vtk_mb" 'BEGIN {
      printf "%-20s %-8s %10.3f %10.3f %7.2fx %10.0f %10.0f\n", c, m, o, v, v / o, om / 1024, vm / 1024 }'
  done
done
