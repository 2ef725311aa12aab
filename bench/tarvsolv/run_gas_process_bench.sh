#!/usr/bin/env bash
# One process against two on a steady compressible flow: air through a linear box channel 240 x 60 x
# 60 mm (default 48 x 12 x 12 cells, 8,281 control volumes) from a total-pressure inlet of 0.1 MPa,
# 20 degrees, to a static 0.092 MPa, slip walls, solved to the default steady tolerance on 1 and on 2
# processes back to back, BENCH_REPEAT rounds (default 2), so that the machine's load falls alike
# on both. Prints per run the wall time, the CPU time summed over the processes and the peak memory
# of the larger process (/usr/bin/time), the pseudo-time steps and GMRES iterations, the largest
# difference of the velocities against the one-process run of the same round (over the largest
# speed) and the load average (uptime); then the two-process log's work split and the speed-up of
# the median wall times.
#
# usage: bench/tarvsolv/run_gas_process_bench.sh [build folder] [cells along] [cells across]
# BENCH_REPEAT: rounds (default 2); BENCH_KEEP=1 keeps the work folder.
set -euo pipefail
build=${1:-build}
along=${2:-48}
across=${3:-12}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
work=$(mktemp -d)
if [[ $(id -u) == 0 ]]; then export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1; fi
[[ ${BENCH_KEEP:-} == 1 ]] || trap 'rm -rf "$work"' EXIT

"$boxmesh" "$work/job.meb" "$along" "$across" "$across" 240 60 60 linear >/dev/null
printf 'HEADER\n0.001 mm scale=1 nod=4 elem=0 ana=9 1e-06 0 0\nMODEL\nchannel.stp\nMFILE\n%s\nSOLVE\n0,0,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1 1.2,0,0,1004.675,0,1.4,287.05\nESIZE\nLOADS\nil 0.092, 20\nbol 1 4 0.1, 20\nbol 2 1 0.092\nRESTRAINTS\nbor 3 0 0 0\nbor 4 0 0 0\nbor 5 0 0 0\nbor 6 0 0 0\nCONSTRAINTS\n' \
    "$work/job.meb" >"$work/job.txt"

# The VELO block's values, one per line.
values() { awk '$1 == "VELO" { on = 1; next } on && NF == 0 { exit } on && $1 !~ /^;/ { for (k = 2; k <= NF; k++) print $k }' "$1"; }

results=$work/results.txt
: >"$results"
printf '%-3s %-2s | %-8s %-8s %-8s | %-6s %-7s | %-10s | %s\n' run np wall-s cpu-s peak-MB steps gmres difference load
for round in $(seq "${BENCH_REPEAT:-2}"); do
    for n in 1 2; do
        printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
        launcher=()
        [[ $n == 1 ]] || launcher=(mpiexec -n "$n" --oversubscribe)
        load=$(uptime | awk -F'load average: ' '{ split($2, l, ","); print l[1] }')
        /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "${launcher[@]}" "$tarvsolv" "$work/job.txt" 0 \
            --quiet >"$work/run.log" 2>&1 || { tail -5 "$work/run.log"; exit 1; }
        cp "$work/job.out" "$work/gas-$n.out"
        difference=$(paste <(values "$work/gas-1.out") <(values "$work/job.out") | awk '
            { d = $1 - $2; if (d < 0) d = -d; a = $1 < 0 ? -$1 : $1; if (a > big) big = a; if (d > worst) worst = d }
            END { printf "%.2g", worst / big }')
        read -r steps gmres < <(sed -n 's/.*the flow converged in \([0-9]*\) steps.*(\([0-9]*\) linear iterations.*/\1 \2/p' \
            "$work/job.slog" | tail -1)
        read -r wall user system peak <"$work/time.txt"
        line=$(printf '%-3s %-2s | %-8.1f %-8.1f %-8.0f | %-6s %-7s | %-10s | %s' "$round" "$n" "$wall" \
            "$(echo "$user + $system" | bc)" "$((peak / 1024))" "${steps:-?}" "${gmres:-?}" "$difference" "$load")
        echo "$line"
        echo "$line" >>"$results"
        [[ $n == 1 || $round != 1 ]] || grep -h "work split" "$work/job.slog" >"$work/split.txt"
    done
done
echo
sed 's/^\[[^]]*\] //' "$work/split.txt" | head -1
median() {  # processes
    awk -v n="$1" '$2 == n { print $4 }' "$results" | sort -n |
        awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
awk -v w1="$(median 1)" -v w2="$(median 2)" \
    'BEGIN { printf "median wall: 1 process %.1f s, 2 processes %.1f s: speed-up %.2f\n", w1, w2, w1 / w2 }'
