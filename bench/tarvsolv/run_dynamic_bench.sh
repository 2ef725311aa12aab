#!/usr/bin/env bash
# Forced vibration of a stiffness-damped steel cantilever, 200 x 10 x 10 mm (x along its length), on
# a structured quadratic box mesh of 100 x 5 x 5 cells (72,963 unknowns), held at x = 0, 1 N/mm2
# downwards over its free end from t = 0, Rayleigh damping 0 M + 1.5e-4 s K, BENCH_DYN_STEPS steps
# of 0.2 ms (default 200; the step matrix is the same for every step, and each step starts from
# the projection on the earlier steps' solutions, so a run of few steps times mostly the first
# ones, which start from little). tarvsolv by MF and PCG, side by side: the time per step (the
# wall time between the first and the last step's log lines over the steps between; each solver
# sets up its factor or multigrid before the first step), the CPU
# time of the whole run (user + system) and its peak memory, the iterations of the last step, and
# the largest difference of the last step's displacements, PCG against MF, relative to the largest.
# One process, one BLAS/OpenMP thread.
#
# usage: bench/tarvsolv/run_dynamic_bench.sh [build folder]   (default: build)
# needs in the build folder: tarvdir/tarvsolv, bin/tarvsolv-boxmesh; and /usr/bin/time.
set -euo pipefail
build=${1:-build}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
for program in "$tarvsolv" "$boxmesh"; do
    [[ -x $program ]] || { echo "missing $program: build tarvsolv and tarvsolv-boxmesh first"; exit 1; }
done
export OPENBLAS_NUM_THREADS=1 OMP_NUM_THREADS=1
steps=${BENCH_DYN_STEPS:-200}

work=$(mktemp -d)
trap '[[ -n ${BENCH_KEEP:-} ]] || rm -rf "$work"' EXIT
"$boxmesh" "$work/beam.meb" 100 5 5 200 10 10 >/dev/null
printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=5 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,%s,2e-04,%s,0\nTABLES\nMSET\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\nbol 2 0 0, 0, -1\nRESTRAINTS\nbor 1 0 0 0\nCONSTRAINTS\nDYNAMIC\n0 1.5e-4\n' \
    "$work/beam.step" "$work/beam.meb" "$steps" "$steps" >"$work/beam.txt"

# One run: "seconds-per-step cpu-seconds peak-MB iterations" (the log in $work/<solver>.log, the
# results in $work/<solver>.out).
run() {  # solver
    printf 'MESHFILE\n%s\n' "$work/beam.meb" >"$work/beam.out"
    /usr/bin/time -f "%U %S %M" -o "$work/time.txt" "$tarvsolv" "$work/beam.txt" 0 --solver "$1" >"$work/$1.log" 2>&1 ||
        { cat "$work/$1.log"; exit 1; }
    cp "$work/beam.out" "$work/$1.out"
    local first last iterations
    first=$(sed -n "s/^\[ *\([0-9.]*\) s\] step 1\/$steps,.*/\1/p" "$work/$1.log")
    last=$(sed -n "s/^\[ *\([0-9.]*\) s\] step $steps\/$steps,.*/\1/p" "$work/$1.log")
    iterations=$(grep "step $steps/$steps," "$work/$1.log" | sed 's/.* \([0-9]*\) iterations,.*/\1/')
    awk -v a="$first" -v b="$last" -v n="$steps" -v i="$iterations" '{ printf "%.3f %.1f %.0f %s\n", (n > 1 ? (b - a) / (n - 1) : 0), $1 + $2, $3 / 1024, i }' "$work/time.txt"
}

# The largest |du| of the last DISP block of two result files over the largest |u| of the second.
difference() {  # ours theirs
    awk 'FNR == 1 { file++ } /^DISP/ { on = 1; next } on && NF != 4 { on = 0 }
         on { for (k = 2; k <= 4; k++) u[file, $1, k] = $k }
         END { for (key in u) { split(key, p, SUBSEP); if (p[1] != 2) continue
                   d = u[1, p[2], p[3]] - u[2, p[2], p[3]]; d = d < 0 ? -d : d; if (d > du) du = d
                   v = u[2, p[2], p[3]]; v = v < 0 ? -v : v; if (v > big) big = v }
               printf "%.2e\n", du / big }' "$1" "$2"
}

# The load average beside the figures: the wall times per step mean little on a busy machine.
echo "load before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
read -r mstep mcpu mmem miter < <(run MF)
read -r pstep pcpu pmem piter < <(run PCG)
echo "load after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
printf '%-9s | %-5s | %-28s | %-28s | %-22s | %s\n' unknowns steps "MF s/step, cpu s (MB), its" "PCG s/step, cpu s (MB), its" "PCG/MF time per step" "largest |du| / |u|, PCG against MF"
printf '%9d | %5d | %6s, %6s (%5s), %3s | %6s, %6s (%5s), %3s | %22s | %s\n' $((3 * 24321)) "$steps" "$mstep" "$mcpu" "$mmem" "$miter" \
    "$pstep" "$pcpu" "$pmem" "$piter" "$(awk -v a="$pstep" -v b="$mstep" 'BEGIN { printf "%.2f", a / b }')" "$(difference "$work/PCG.out" "$work/MF.out")"
