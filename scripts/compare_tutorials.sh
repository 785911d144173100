#!/usr/bin/env bash
# Reads OpenFOAM's tutorials (Debian's openfoam-examples) with the plug-in and compares what it
# delivers with an independent reading (scripts/compare_export.py), one line per case.
#
#   scripts/compare_tutorials.sh [--mode time0|steps] [--out DIR] [--build DIR] [TUTORIAL ...]
#     time0  (default) each tutorial's hand-written time 0 after blockMesh, against OpenFOAM's own
#            reading (foamToVTK): every field on every patch. Without TUTORIAL: every tutorial
#            meshed by blockMesh alone, up to 300k cells, and every one that ships its mesh.
#     steps  four time steps of the tutorial's solver, then the last time against VTK's reader:
#            the internal mesh and every patch. Needs TUTORIAL (paths below the examples folder,
#            e.g. incompressible/simpleFoam/pitzDaily).
#     --out DIR    where the cases are run (default: /tmp/foamprovider-tutorials)
#     --build DIR  the build with host/vxphost and libfoamprovider.so (default: build)
# A case whose meshing or solver run fails is reported as such and skipped. Exit status 1 when a
# comparison flagged something.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
mode=time0
out=/tmp/foamprovider-tutorials
build="$FOAMPROVIDER_ROOT/build"
tutorials=()
while [ $# -gt 0 ]; do
  case "$1" in
    --mode) mode="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) tutorials+=("$1"); shift ;;
  esac
done
install_missing_packages openfoam openfoam-examples python3-vtk9 m4
host="$build/host/vxphost"
[ -x "$host" ] || { echo "build first: $host (scripts/test.sh)"; exit 1; }
compare="$FOAMPROVIDER_ROOT/scripts/compare_export.py"
examples=/usr/share/doc/openfoam-examples/examples
export WM_PROJECT_DIR="${WM_PROJECT_DIR:-/usr/share/openfoam}"
mkdir -p "$out"

if [ ${#tutorials[@]} -eq 0 ]; then
  [ "$mode" = time0 ] || { echo "--mode steps needs the tutorials to run"; exit 1; }
  while IFS= read -r dict; do
    tutorial="${dict%/system/blockMeshDict}"
    { [ -d "$tutorial/0" ] || [ -d "$tutorial/0.orig" ]; } && [ ! -d "$tutorial/constant/polyMesh" ] &&
      tutorials+=("${tutorial#"$examples"/}")
  done < <(find "$examples" -path "*/system/blockMeshDict" | sort)
  while IFS= read -r mesh; do
    tutorial="${mesh%/constant/polyMesh}"
    { [ -d "$tutorial/0" ] || [ -d "$tutorial/0.orig" ]; } && tutorials+=("${tutorial#"$examples"/}")
  done < <(find "$examples" -path "*/constant/polyMesh" -type d | sort)
fi

block_mesh() {  # up to 300k cells
  [ -f system/blockMeshDict.m4 ] && m4 system/blockMeshDict.m4 > system/blockMeshDict
  timeout 120 blockMesh > log.blockMesh 2>&1 || return 1
  local cells
  cells=$(grep -m1 "nCells:" log.blockMesh | awk '{print $2}')
  [ -z "$cells" ] || [ "$cells" -le 300000 ]
}

set_control() {  # KEY VALUE
  foamDictionary -entry "$1" -set "$2" system/controlDict > /dev/null 2>&1 || true
}

# Copies a tutorial, meshes it (unless it ships its mesh) and writes its time 0.
prepare() {  # TUTORIAL
  local folder
  folder="$out/$(echo "$1" | tr '/' '_')"
  rm -rf "$folder"
  cp -r "$examples/$1" "$folder"
  cd "$folder"
  find . -name "*.gz" -exec gunzip -f {} \; 2>/dev/null || true
  [ -d 0 ] || cp -r 0.orig 0
  [ -d constant/polyMesh ] || block_mesh || return 1
  [ ! -f system/topoSetDict ] || timeout 120 topoSet > log.topoSet 2>&1 || true
  : > case.foam
}

run_steps() {
  [ ! -f system/setFieldsDict ] || timeout 120 setFields > log.setFields 2>&1 || true
  local application step start
  application=$(foamDictionary -entry application -value system/controlDict)
  step=$(foamDictionary -entry deltaT -value system/controlDict)
  start=$(foamDictionary -entry startTime -value system/controlDict 2>/dev/null || echo 0)
  set_control endTime "$(/usr/bin/python3 -c "print($start + 4 * $step)")"
  set_control writeControl timeStep
  set_control writeInterval 2
  set_control adjustTimeStep no
  timeout 300 "$application" > log.solver 2>&1
}

flagged=0
for tutorial in "${tutorials[@]}"; do
  name=$(echo "$tutorial" | tr '/' '_')
  if ! (prepare "$tutorial"); then echo "$name: not meshed (blockMesh failed or too large)"; continue; fi
  folder="$out/$name"
  cd "$folder"
  if [ "$mode" = time0 ]; then
    reference=$(timeout 300 foamToVTK -time 0 -no-point-data -no-internal > log.foamToVTK 2>&1 &&
                ls -d VTK/*_0/boundary 2>/dev/null | head -1 || true)
    [ -n "$reference" ] || { echo "$name: OpenFOAM cannot read it (see $folder/log.foamToVTK)"; continue; }
  elif ! run_steps; then
    echo "$name: solver failed (see $folder/log.solver)"; continue
  fi
  rm -rf export
  timeout 600 "$host" --quiet --log-level 2 export --out export case.foam > log.export 2>&1 || true
  state=$(ls -d export/*_[0-9]*/ 2>/dev/null | awk -F_ '{print $NF" "$0}' | sort -n | tail -1 | cut -d' ' -f2)
  [ -n "$state" ] || { echo "$name: export failed (see $folder/log.export)"; flagged=$((flagged + 1)); continue; }
  messages=$(grep -c '^\[\(ERROR\|WARNING\)\]' log.export || true)
  if [ "$mode" = time0 ]; then
    result=$(/usr/bin/python3 "$compare" foam "${state%/}" "$reference" 2>/dev/null || true)
  else
    result=$(/usr/bin/python3 "$compare" vtk case.foam "${state%/}" 2>/dev/null || true)
  fi
  echo "$name: $(echo "$result" | tail -1), $messages warnings or errors"
  echo "$result" | grep -v '^flagged' | head -5 || true
  [ "$(echo "$result" | tail -1)" = "flagged 0" ] || flagged=$((flagged + 1))
done
echo "cases with differences: $flagged"
[ "$flagged" -eq 0 ]
