#!/usr/bin/env bash
# Solves the sample bracket (base held on its underside, a pressure on the back of the upright) at
# about 200,000 and 600,000 unknowns with tarvsolv (iterative and direct) and with CalculiX on the
# same mesh and loads, and prints the CPU time (user + system; the wall time after it, which other
# work on the machine inflates), the peak memory and the largest difference in displacement against
# CalculiX. Every program runs on one process with one BLAS/OpenMP thread. Then, on the same mesh,
# buckling under the same loads (5 modes: our BUCKLE, CalculiX *BUCKLE; the lowest load factors are
# compared) and 100 steps of forced vibration under the pressure put on at t = 0 (our ana=5 with
# mass and stiffness damping, CalculiX *DYNAMIC, DIRECT with the same fixed step and *DAMPING), with
# the ratios of CPU time and peak memory, tarvsolv against CalculiX. A run tarvsolv refuses prints
# "refused" in its row. Last, the nonlinear analyses on their own meshes: plasticity of the thick
# tube (tube.step, radii 10 and 20 mm, both ends held, an internal pressure between the first
# yield and the collapse of the wall, perfectly plastic; 10 equal load steps in both programs).
#
# usage: bench/tarvsolv/run_bench.sh [build folder] [element sizes...]   (defaults: build, 1.8 1.15)
# BENCH_STATIC_ONLY=1 leaves out buckling, vibration and the nonlinear rows (CalculiX's 100
# vibration steps take about half an hour at the first size and hours at the second);
# BENCH_NONLINEAR_ONLY=1 runs the nonlinear rows only. BENCH_PROCESSES=N adds, after each static
# row, the MF solve on N processes (through kolvane-register --solver-processes) and its speed-up. BENCH_TUBE_SIZE is the tube's element size
# (default 3 mm, about 38,000 unknowns: CalculiX takes about a minute).
# needs in the build folder: tarvdir/tarvsolv, tarvdir/velgrin, bin/velgrin-sample-parts,
# bin/kolvane-sample-parts, bin/tarvsolv-ccx; and the programs ccx (calculix-ccx) and /usr/bin/time.
set -euo pipefail
build=${1:-build}
shift || true
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(1.8 1.15)
tarvsolv=$build/tarvdir/tarvsolv
velgrin=$build/tarvdir/velgrin
parts=$build/bin/velgrin-sample-parts
convert=$build/bin/tarvsolv-ccx
hostparts=$build/bin/kolvane-sample-parts
for program in "$tarvsolv" "$velgrin" "$parts" "$convert" "$hostparts"; do
    [[ -x $program ]] || { echo "missing $program: build tarvsolv, velgrin, velgrin-sample-parts, kolvane-sample-parts and tarvsolv-ccx first"; exit 1; }
done
command -v ccx >/dev/null || { echo "the ccx program is missing (Debian package calculix-ccx)"; exit 1; }
export OPENBLAS_NUM_THREADS=1 OMP_NUM_THREADS=1 CCX_NPROC_EQUATION_SOLVER=1

work=$(mktemp -d)
trap '[[ -n ${BENCH_KEEP:-} ]] || rm -rf "$work"' EXIT
"$parts" "$work" >/dev/null
"$hostparts" "$work/host" >/dev/null
step=$work/bracket.step

# Runs a command under /usr/bin/time; prints "cpu-seconds/wall-seconds peak-MB".
measure() {
    /usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$@" >"$work/run.log" 2>&1 || { cat "$work/run.log"; exit 1; }
    awk '{ printf "%.1f/%.1f %.0f\n", $1 + $2, $3, $4 / 1024 }' "$work/time.txt"
}

# As measure, but a run the solver refuses ("is not solved by this version") prints "refused -".
measure_or_refused() {
    if /usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$@" >"$work/run.log" 2>&1; then
        tail -1 "$work/time.txt" | awk '{ printf "%.1f/%.1f %.0f\n", $1 + $2, $3, $4 / 1024 }'
    elif grep -q "is not solved by this version" "$work/run.log"; then
        echo "refused -"
    else
        cat "$work/run.log" >&2
        exit 1
    fi
}

# "cpu-ratio memory-ratio" of two "cpu/wall" and MB pairs, or "- -" when the first is missing.
ratios() {  # our-time our-MB their-time their-MB
    [[ $1 == refused ]] && { echo "- -"; return; }
    awk -v a="${1%%/*}" -v b="$2" -v c="${3%%/*}" -v d="$4" 'BEGIN { printf "%.2f %.2f\n", a / c, b / d }'
}

write_input() {  # size [fixed face] [loaded face] [analysis code] [solve row] [closing sections]
    printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=%s 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n%s\nTABLES\nMSET\n %s 0 0.5 0.25 0 0 0 1 1 1 0\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\n%s\nRESTRAINTS\n%s\nCONSTRAINTS\n%s' \
        "${4:-0}" "$step" "$work/job.meb" "${5:-0,0,0,0,0}" "$1" "${3:+bol $3 1 10}" "${2:+bor $2 0 0 0}" "${6:-}" >"$work/job.txt"
}

# The tarvsolv time and memory of one run and CalculiX's on the same input, then the ratios and the
# largest difference of the last step's displacements: one row of a comparison table.
compare_row() {  # label
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    read -r nt nm < <(measure_or_refused "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    local difference="-"
    [[ $nt == refused ]] || difference=$("$convert" compare "$work/job.out" "$work/ccx.dat" | awk '{ print $3 }')
    printf '%-22s | %17s (%6s) | %17s (%6s) | %-22s | %s\n' "$1" "$nt" "$nm" "$ct" "$cm" "$(ratios "$nt" "$nm" "$ct" "$cm")" "$difference"
}

nonlinear_rows() {
    printf '\n%-22s | %-28s | %-28s | %-22s | %s\n' analysis "tarvsolv cpu/wall s (MB)" "CalculiX cpu/wall s (MB)" "ratio cpu, memory" "largest |du| / |u|, last step"
    local size=${BENCH_TUBE_SIZE:-3}
    step=$work/host/tube.step
    write_input "$size"
    "$velgrin" "$work/job.txt" 0 >/dev/null
    # The ends: normals +-z; the bore: the smaller of the two faces with no mean normal.
    local ends bore
    ends=$("$convert" faces "$work/job.txt" | awk '$9 > 0.99 || $9 < -0.99 { print $1 }')
    bore=$("$convert" faces "$work/job.txt" | awk '$9 < 0.5 && $9 > -0.5 && (best == "" || $3 < best) { best = $3; face = $1 } END { print face }')
    local held=""
    for face in $ends; do held+="bor $face 0 0 0"$'\n'; done
    # Yield 250 MPa; 175 MPa lies between first yield (about 108 MPa with the ends held) and the
    # collapse pressure of the wall, (2/sqrt 3) 250 ln 2 = 200 MPa.
    printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=-1 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,50,0,0,1\nTABLES\nMSET\n %s 0 0.5 0.25 0 0 0 1 1 1 0\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,250,0,0,0\nESIZE\nLOADS\nbol %s 1 175\nRESTRAINTS\n%sCONSTRAINTS\nTSTEP\n 1 50, 0, 0 1\n' \
        "$step" "$work/job.meb" "$size" "$bore" "$held" >"$work/job.txt"
    compare_row "plasticity, tube $(( 3 * $(head -c 4 "$work/job.meb" | od -An -tu4 | tr -d ' ') ))"
}

if [[ ${BENCH_NONLINEAR_ONLY:-0} == 1 ]]; then
    nonlinear_rows
    exit 0
fi

runs=()
printf '%-5s | %-9s | %-21s | %-21s | %-21s | %s\n' size unknowns "tarvsolv PCG cpu/wall s (MB)" "tarvsolv MF cpu/wall s (MB)" "CalculiX cpu/wall s (MB)" "largest |du| / |u|: PCG, MF against CalculiX; PCG against MF"
for size in "${sizes[@]}"; do
    write_input "$size"
    "$velgrin" "$work/job.txt" 0 >/dev/null
    # Underside of the base: normal -z at z = 0; back of the upright: normal -x at x = 0, the largest.
    fixed=$("$convert" faces "$work/job.txt" | awk '$9 < -0.99 && $6 < 1e-6 { print $1 }' | head -1)
    loaded=$("$convert" faces "$work/job.txt" | awk '$7 < -0.99 && $4 < 1e-6 && $3 > best { best = $3; face = $1 } END { print face }')
    write_input "$size" "$fixed" "$loaded"
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    nodes=$(head -c 4 "$work/job.meb" | od -An -tu4 | tr -d ' ')
    read -r pt pm < <(measure "$tarvsolv" "$work/job.txt" 0 --solver PCG)
    cp "$work/job.out" "$work/pcg.out"
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    read -r mt mm < <(measure "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    read -r _ _ pcgdiff < <("$convert" compare "$work/pcg.out" "$work/ccx.dat")
    read -r _ _ mfdiff < <("$convert" compare "$work/job.out" "$work/ccx.dat")
    read -r _ _ owndiff < <("$convert" compare "$work/pcg.out" "$work/job.out")
    printf '%-5s | %9d | %14s (%6s)         | %14s (%6s)        | %14s (%6s)     | %s, %s; %s\n' "$size" $((3 * nodes)) "$pt" "$pm" "$mt" "$mm" "$ct" "$cm" "$pcgdiff" "$mfdiff" "$owndiff"
    read -r rt rm < <(ratios "$mt" "$mm" "$ct" "$cm")
    printf '      static, MF against CalculiX: CPU time x %s, memory x %s\n' "$rt" "$rm"
    if [[ -n ${BENCH_PROCESSES:-} ]]; then
        # The same MF solve started as the add-on starts it, after kolvane-register --solver-processes.
        cp "$work/job.out" "$work/one.out"
        printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
        KOLVANE_CONFIG_DIR=$work/settings "$build/bin/kolvane-register" --solver-processes "$BENCH_PROCESSES"
        read -r nt nm < <(KOLVANE_CONFIG_DIR=$work/settings measure "$tarvsolv" "$work/job.txt" 0 --solver MF)
        read -r _ _ pdiff < <("$convert" compare "$work/job.out" "$work/one.out")
        awk -v a="${mt##*/}" -v b="${nt##*/}" -v n="$BENCH_PROCESSES" -v m="$nm" -v d="$pdiff" \
            'BEGIN { printf "      static, MF on %d processes: wall %.1f s against %.1f s, speed-up x %.2f; peak %s MB (largest process); |du| / |u| against one process %s\n", n, b, a, a / b, m, d }'
    fi
    runs+=("$size $fixed $loaded")
done

[[ ${BENCH_STATIC_ONLY:-0} == 1 ]] && exit 0

# Buckling (5 modes) and forced vibration (100 steps of 1e-5 s, Rayleigh damping 5 /s and 1e-6 s)
# on the same meshes. tarvsolv factorises K by MUMPS for buckling whatever the solver setting.
printf '\n%-5s | %-9s | %-28s | %-28s | %-22s | %s\n' size analysis "tarvsolv cpu/wall s (MB)" "CalculiX cpu/wall s (MB)" "ratio cpu, memory" "lowest load factor: tarvsolv, CalculiX"
for run in "${runs[@]}"; do
    read -r size fixed loaded <<<"$run"
    write_input "$size"
    "$velgrin" "$work/job.txt" 0 >/dev/null
    write_input "$size" "$fixed" "$loaded" 0 5,0,0,0,0 $'BUCKLE\n'
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    read -r bt bm < <(measure_or_refused "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    factors="-"
    [[ $bt == refused ]] || factors=$("$convert" factors "$work/job.out" "$work/ccx.dat")
    printf '%-5s | %-9s | %17s (%6s) | %17s (%6s) | %-22s | %s\n' "$size" buckling "$bt" "$bm" "$ct" "$cm" "$(ratios "$bt" "$bm" "$ct" "$cm")" "$factors"
    write_input "$size" "$fixed" "$loaded" 5 0,100,1e-05,100,0 $'DYNAMIC\n5 1e-06\n'
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    read -r dt dm < <(measure_or_refused "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    printf '%-5s | %-9s | %17s (%6s) | %17s (%6s) | %-22s |\n' "$size" vibration "$dt" "$dm" "$ct" "$cm" "$(ratios "$dt" "$dm" "$ct" "$cm")"
done

nonlinear_rows
