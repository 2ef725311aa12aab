#!/usr/bin/env bash
# How the cost of a static analysis grows with the model: the sample bracket (base held on its
# underside, 10 N/mm2 on the back of the upright) meshed by velgrin into quadratic tetrahedra at
# element sizes from about 0.2 to 5 million unknowns, then solved by tarvsolv on 1 and on 2
# processes. Prints one row per size and process count: unknowns; velgrin's wall time and peak
# memory; tarvsolv's wall time, CPU time (user + system, summed over its processes) and peak memory
# of the largest process; and the solver log's split of the wall time into reading the mesh,
# assembling, solving, reactions and stresses, and writing the results (.out and VTK). A size whose
# run does not fit prints the reason in its row and the table goes on.
#
# usage: bench/tarvsolv/run_growth_bench.sh [build folder] [element sizes...]
#        (defaults: build, 1.76 1.2 0.9 0.72 0.6: about 0.2, 0.6, 1.2, 2.5 and 4.5 million unknowns)
# BENCH_PROCESSES: the process counts (default "1 2"); BENCH_SOLVER: PCG (default) or MF;
# BENCH_KEEP=1 keeps the work folder.
set -euo pipefail
build=${1:-build}
shift || true
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(1.76 1.2 0.9 0.72 0.6)
source "$(dirname "$0")/bracket_job.sh"
bracket_setup "$build"

# Runs a command under /usr/bin/time: prints "wall-s cpu-s peak-MB" (CPU summed over mpiexec's
# processes; the peak memory is that of the largest).
measure() {
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" >"$work/run.log" 2>&1 || return 1
    awk '{ printf "%.1f %.1f %.0f\n", $1, $2 + $3, $4 / 1024 }' "$work/time.txt"
}

# The seconds between the solver log's phase lines: read, assemble, solve, reactions and
# stresses, write.
phases() {
    awk '
        { gsub(/[][]/, ""); t = $1 + 0 }
        / mesh: / && !read { read = t }
        / solving$/ && !solving { solving = t }
        / solved / && !solved { solved = t }
        / writing / && !writing { writing = t }
        / done$/ { done = t }
        END { printf "%.1f %.1f %.1f %.1f %.1f\n", read, solving - read, solved - solving, writing - solved, done - writing }
    ' "$work/job.slog"
}

printf '%-5s | %-9s | %-20s | %-9s | %-30s | %s\n' size unknowns "velgrin wall s (MB)" processes \
    "tarvsolv wall/cpu s (MB)" "read / assemble / solve / reactions, stresses / write (wall s)"
for size in "${sizes[@]}"; do
    bracket_input "$size"
    if ! read -r mw _ mm < <(measure "$velgrin" "$work/job.txt" 0); then
        printf '%-5s | %-9s | velgrin failed: %s\n' "$size" - "$(tail -1 "$work/run.log")"
        continue
    fi
    bracket_faces "$size"
    unknowns=$(bracket_unknowns)
    for n in ${BENCH_PROCESSES:-1 2}; do
        printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
        launcher=()
        [[ $n == 1 ]] || launcher=(mpiexec -n "$n" --oversubscribe)
        if read -r tw tc tm < <(measure "${launcher[@]}" "$tarvsolv" "$work/job.txt" 0 --solver "${BENCH_SOLVER:-PCG}" --quiet); then
            solve="$tw/$tc ($tm)"
            split=$(phases | awk '{ printf "%s / %s / %s / %s / %s", $1, $2, $3, $4, $5 }')
        else
            solve="failed"
            # The solver's own reason, else how it ended (a signal: killed from outside, or out of memory).
            split=$(grep -h -m1 -iE "error|cannot|killed" "$work/job.slog" "$work/run.log" 2>/dev/null ||
                grep -h -m1 -E "terminated by signal|exited with" "$work/time.txt" || tail -1 "$work/run.log")
        fi
        printf '%-5s | %9d | %-20s | %-9s | %-30s | %s\n' "$size" "$unknowns" "$mw ($mm)" "$n" "$solve" "$split"
    done
done
