#!/bin/bash
# Demo case: lid-driven cavity, 20x20x1 cells, icoFoam, ascii, written at
# 0.1 0.2 0.3 0.4 (plus 0).
# Usage: examples_cavity.sh [OUTDIR]   (default: ../../../examples/cavity)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../../../examples/cavity}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 20 20 0.4 0.1 ascii off
cd "$CASE"
run_log examples_cavity.blockMesh blockMesh
run_log examples_cavity.icoFoam icoFoam
cleanup_case "$CASE"
