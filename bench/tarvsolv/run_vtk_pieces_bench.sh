#!/usr/bin/env bash
# The VTK files of a static step on two processes, the first process writing every piece from the
# whole step it gathered against each process writing the piece of its own share: the sample
# bracket meshed by velgrin (default 1.15 mm, 611,361 unknowns), a synthetic step (displacements,
# corner stresses, the error estimate) in the processes' shares (the nodes each owns, the elements
# each assembles), written by tarvsolv-vtkpieces both ways back to back, BENCH_REPEAT times
# (default 3).
# Prints each run's seconds on the first process and peak memory per process, the load average,
# then the medians of the seconds.
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
order=file
for round in $(seq "${BENCH_REPEAT:-3}"); do
    for mode in whole shared; do
        line=$(mpiexec -n 2 --oversubscribe "$build/bin/tarvsolv-vtkpieces" "$work/job.meb" "$work/vtk" $mode)
        echo "$order $line ($(uptime | sed 's/.*load/load/'))" | tee -a "$work/runs"
    done
done
for order in file; do
    for mode in whole shared; do
        awk -v order=$order -v mode=$mode '$1 == order && $2 == mode ":" { for (k = 1; k < NF; k++) if ($k == "process") print $(k + 1) }' \
            "$work/runs" | sort -g | awk -v what="$order $mode" '{ v[NR] = $1 } END { printf "%s: median %.2f s\n", what, v[int((NR + 1) / 2)] }'
    done
done
