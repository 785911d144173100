#!/bin/bash
# Lid-driven cavity, 10x10x1 cells, icoFoam, ascii, four written times.
# Usage: cavity_multi_time.sh [OUTDIR]   (default: ../cavity_multi_time)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
CASE=$(realpath -m "${1:-$HERE/../cavity_multi_time}")
prepare_case "$CASE"
write_cavity_dicts "$CASE" 10 10 0.2 0.05 ascii off
cd "$CASE"
run_log cavity_multi_time.blockMesh blockMesh
run_log cavity_multi_time.icoFoam icoFoam
cleanup_case "$CASE"
