#!/bin/bash
# Lid-driven cavity (10x10x1, icoFoam) decomposed into 4 processors (simple,
# 2x2) and run in parallel up to 0.1 (written at 0.05 and 0.1), twice from the
# same set-up: once with the collated file handler (decomposePar -fileHandler
# collated; mpirun -np 4 icoFoam -parallel -fileHandler collated) and once
# written per processor. Two pairs of cases:
#   collated_ascii_gz, uncollated_ascii_gz: ascii, writeCompression on, the run
#     with -ioRanks '(0 2)': the mesh and 0 in processors4 (decomposePar), the
#     times in processors4_0-1 and processors4_2-3;
#   collated_binary, uncollated_binary: binary, uncompressed, all in processors4.
# Usage: collated.sh [OUTFOLDER]   (default: .., the four cases inside it)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
OUT=$(realpath -m "${1:-$HERE/..}")

# run_pair NAME FORMAT COMPRESSION [IORANKS]
run_pair() {
    local name=$1 fmt=$2 comp=$3 ioranks=${4:-}
    local handler
    for handler in collated uncollated; do
        local case="$OUT/${handler}_$name"
        prepare_case "$case"
        write_cavity_dicts "$case" 10 10 0.1 0.05 "$fmt" "$comp"
        write_decompose_dict "$case" 4 "2 2 1"
        (
            cd "$case"
            run_log "$handler.$name.blockMesh" blockMesh
            if [ "$handler" = collated ]; then
                run_log "$handler.$name.decomposePar" decomposePar -fileHandler collated
                if [ -n "$ioranks" ]; then
                    run_log "$handler.$name.icoFoam" mpirun --oversubscribe -np 4 icoFoam -parallel \
                        -fileHandler collated -ioRanks "$ioranks"
                else
                    run_log "$handler.$name.icoFoam" mpirun --oversubscribe -np 4 icoFoam -parallel \
                        -fileHandler collated
                fi
            else
                run_log "$handler.$name.decomposePar" decomposePar
                run_log "$handler.$name.icoFoam" mpirun --oversubscribe -np 4 icoFoam -parallel
            fi
        )
        cleanup_case "$case"
    done
}

run_pair ascii_gz ascii on '(0 2)'
run_pair binary binary off
