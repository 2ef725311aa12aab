#!/usr/bin/env bash
# One process against two on the same static job: the sample bracket (base held on its underside,
# 10 N/mm2 on the back of the upright) meshed by velgrin at one element size (default 1.15 mm,
# 611,361 unknowns), solved by PCG and by MF on 1 and on 2 processes back to back, BENCH_REPEAT
# times (default 3), so that the machine's load falls alike on both. Prints per run the wall
# time, CPU time summed over the processes, peak memory of the larger process (/usr/bin/time), the
# wall seconds of the profile's stages (-log_view: assemble, solver set-up, solve, reactions,
# stresses, write), the largest difference of the displacements against the one-process run of the
# same round (over the largest displacement), and the load average (uptime); then the medians and
# the speed-ups of the medians. The two-process log's work split (elements, unknowns, elements
# across processes, halo) is printed once.
# -log_view's stage times are means over the processes, so a stage only the first process runs
# (error estimate, write) shows half its time on two processes and the other's wait for it lands in
# the main stage. The first process's own clock (the solver log's time stamps) is printed beside
# them: `start` the seconds before the assembly (reading, partition, numbering, restraints), `tail`
# those from the stresses to the end (stresses, error estimate, write), and `outside` the wall time
# outside PETSc's (starting the processes, MPI's start and end).
#
# usage: bench/tarvsolv/run_process_bench.sh [build folder] [element size]
# BENCH_REPEAT: rounds (default 3); BENCH_SOLVERS: default "PCG MF"; BENCH_KEEP=1 keeps the folder;
# BENCH_OPTIONS: further solver options for every run, e.g. "-mat_mumps_icntl_7 4" (MUMPS's PORD)
# or "-mat_mumps_icntl_4 2" (MUMPS's statistics and phase times, kept in the folder's run logs).
set -euo pipefail
build=${1:-build}
size=${2:-1.15}
source "$(dirname "$0")/bracket_job.sh"
bracket_setup "$build"
bracket_mesh "$size"
bracket_faces "$size"
echo "element size $size: $(bracket_unknowns) unknowns"

# The wall seconds of the -log_view stages, as "name seconds" pairs on one line.
stages() {
    awk '/Summary of Stages:/ { on = 1; next } on && /^ *[0-9]+: / { sub(/^ *[0-9]+: */, ""); split($0, f, ":");
         gsub(/^ +| +$/, "", f[1]); gsub(/ /, "_", f[1]); split(f[2], v, " "); if (f[1] != "Main_Stage") printf "%s %.2f ", f[1], v[1] }
         on && /^---/ && seen++ { exit }' "$1"
}

# The first process's clock: "start tail outside" seconds (see the head of this file).
clock() {  # solver log, -log_view output, wall seconds
    local total
    total=$(awk '/^Time \(sec\):/ { print $3 }' "$2")
    awk -v wall="$3" -v total="$total" '{ t = $0; sub(/^\[ */, "", t); t += 0 }
        /assembling/ && start == "" { start = t } /computing stresses/ { from = t } / done$/ { end = t }
        END { printf "start %.2f tail %.2f outside %.2f", start, end - from, wall - total }' "$1"
}

# The DISP block's values, one per line.
values() { awk '$1 == "DISP" { on = 1; next } on && NF == 0 { exit } on && $1 !~ /^;/ { for (k = 2; k <= NF; k++) print $k }' "$1"; }

results=$work/results.txt
: >"$results"
echo "options: ${BENCH_OPTIONS:-none}"
printf '%-6s %-3s %-2s | %-8s %-8s %-8s | %-10s | %-6s | %s | %s\n' solver run np wall-s cpu-s peak-MB difference load \
    "first process's clock" "stages (means over the processes)"
for round in $(seq "${BENCH_REPEAT:-3}"); do
    for solver in ${BENCH_SOLVERS:-PCG MF}; do
        for n in 1 2; do
            printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
            launcher=()
            [[ $n == 1 ]] || launcher=(mpiexec -n "$n" --oversubscribe)
            load=$(uptime | awk -F'load average: ' '{ split($2, l, ","); print l[1] }')
            /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "${launcher[@]}" "$tarvsolv" "$work/job.txt" 0 \
                --solver "$solver" --quiet -log_view ${BENCH_OPTIONS:-} >"$work/run.log" 2>&1 || { tail -5 "$work/run.log"; exit 1; }
            cp "$work/run.log" "$work/run-$solver-$round-$n.log"
            cp "$work/job.out" "$work/$solver-$n.out"
            difference=$(paste <(values "$work/$solver-1.out") <(values "$work/job.out") | awk '
                { d = $1 - $2; if (d < 0) d = -d; a = $1 < 0 ? -$1 : $1; if (a > big) big = a; if (d > worst) worst = d }
                END { printf "%.2g", worst / big }')
            read -r wall user system peak <"$work/time.txt"
            line=$(printf '%-6s %-3s %-2s | %-8.1f %-8.1f %-8.0f | %-10s | %-6s | %s | %s' "$solver" "$round" "$n" \
                "$wall" "$(echo "$user + $system" | bc)" "$((peak / 1024))" "$difference" "$load" \
                "$(clock "$work/job.slog" "$work/run.log" "$wall")" "$(stages "$work/run.log")")
            echo "$line"
            echo "$line" >>"$results"
            [[ $n == 1 || $round != 1 ]] || grep -h "work split" "$work/job.slog" >"$work/split.txt"
        done
    done
done
echo
grep -h "work split" "$work/split.txt" | sed 's/^\[[^]]*\] //' | head -1
echo "medians (wall s, peak MB) and the speed-up of the median wall time, memory of 2 over 1:"
for solver in ${BENCH_SOLVERS:-PCG MF}; do
    median() {  # processes column
        awk -v s="$solver" -v n="$1" -v c="$2" '$1 == s && $3 == n { print $c }' "$results" | sort -n |
            awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    }
    w1=$(median 1 5) w2=$(median 2 5) m1=$(median 1 7) m2=$(median 2 7)
    awk -v s="$solver" -v w1="$w1" -v w2="$w2" -v m1="$m1" -v m2="$m2" \
        'BEGIN { printf "%-4s 1 process %.1f s %.0f MB, 2 processes %.1f s %.0f MB: speed-up %.2f, memory %.2f\n", s, w1, m1, w2, m2, w1 / w2, m2 / m1 }'
done
