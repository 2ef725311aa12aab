#!/usr/bin/env bash
# The result file and the VTK files of a static step on one process, and on two: the first process
# writing everything from the whole step it gathered against each process writing its own share:
# the sample bracket meshed by velgrin (default 1.15 mm, 611,361 unknowns), a synthetic step
# (displacements, corner stresses, the error estimate) in the processes' shares (the nodes each
# owns, the elements each assembles), written by tarvsolv-vtkpieces the three ways back to back,
# BENCH_REPEAT times (default 3). Prints each run's seconds on the first process (to all files, and to the
# result file) and peak memory per process, the load average, then the medians of the seconds.
#
# usage: bench/tarvsolv/run_vtk_pieces_bench.sh [build folder] [element size]
set -euo pipefail
build=${1:-build}
size=${2:-1.15}
source "$(dirname "$0")/bracket_job.sh"
bracket_setup "$build"
bracket_mesh "$size"
echo "element size $size: $(bracket_unknowns) unknowns"
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
mkdir -p "$work/vtk"
# One process writing the whole step, then two: the first from the whole step, each its share.
for round in $(seq "${BENCH_REPEAT:-3}"); do
    for run in "1 whole" "2 whole" "2 shared"; do
        set -- $run
        line=$(mpiexec -n "$1" --oversubscribe "$build/bin/tarvsolv-vtkpieces" "$work/job.meb" "$work/vtk" "$2")
        echo "np $1 $line ($(uptime | sed 's/.*load/load/'))" | tee -a "$work/runs"
    done
done
for run in "1 whole" "2 whole" "2 shared"; do
    set -- $run
    for what in process file; do  # the first process's seconds to all files, to the result file
        awk -v np="$1" -v mode="$2:" -v what="$what" '$2 == np && $3 == mode {
                for (k = 1; k < NF; k++) if ($k == what) { v = $(k + 1); gsub(/[()]/, "", v); print v } }' "$work/runs" |
            sort -g | awk -v run="$run" -v what="$what" '{ v[NR] = $1 } END {
                printf "%s, %s: median %.2f s\n", run, what == "file" ? "result file" : "all files", v[int((NR + 1) / 2)] }'
    done
done
