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
# "refused" in its row. After the static rows, a thermal stress in one run (ana=11) on a bar of box
# cells against CalculiX's uncoupled and coupled temperature-displacement analyses (see
# thermal_rows). Last, the nonlinear analyses on their own meshes: plasticity of the thick
# tube (tube.step, radii 10 and 20 mm, both ends held, an internal pressure between the first
# yield and the collapse of the wall, perfectly plastic; 10 equal load steps in both programs), and
# block contact: two stacked cubes pressed together through contact faces (BENCH_CONTACT_CELLS,
# default "8 12" cells a side), ours against CalculiX's *CONTACT PAIR.
#
# usage: bench/tarvsolv/run_bench.sh [build folder] [element sizes...]   (defaults: build, 1.8 1.15)
# BENCH_STATIC_ONLY=1 leaves out buckling, vibration and the nonlinear rows (CalculiX's 100
# vibration steps take about half an hour at the first size and hours at the second);
# BENCH_EIGEN_ONLY=1 the static rows, then buckling and natural frequencies (CalculiX *FREQUENCY)
# only; BENCH_NONLINEAR_ONLY=1 runs the nonlinear rows only, BENCH_THERMAL_ONLY=1 the thermal stress rows
# only (BENCH_BAR_CELLS: the bar's cells across, default 8). BENCH_PROCESSES=N adds, after each static
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

# Block contact: two steel cubes of 10 mm stacked along z (n and n + 1 quadratic cells a side, so
# the meshes do not match at the contact), on rollers, the lower one held under its base, 100 N/mm2
# on the upper one's top, the touching faces as boi faces: ours in 5 load steps, CalculiX's
# surface-to-surface contact pair with a linear penalty of the same stiffness (10 E over the facet
# size). The displacement difference is mostly CalculiX's penetration (pressure over its penalty).
contact_rows() {
    printf '\n%-5s | %-9s | %-28s | %-28s | %-22s | %s\n' cells unknowns "tarvsolv MF cpu/wall s (MB)" "CalculiX cpu/wall s (MB)" "ratio cpu, memory" "largest |du| / |u| against CalculiX"
    local cells nodes kt km ct cm kdiff
    for cells in ${BENCH_CONTACT_CELLS:-8 12}; do
        "$convert" blocks "$work/blocks.meb" "$cells"
        printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\n2  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\nbol 12 1 100\nRESTRAINTS\nbor 5 1 1 0\nbor 1 0 1 1\nbor 3 1 0 1\nbor 7 0 1 1\nbor 9 1 0 1\nCONSTRAINTS\nboi 6\nboi 11\n' \
            "$step" "$work/blocks.meb" >"$work/blocks.txt"
        printf 'MESHFILE\n%s\nBODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n' "$work/blocks.meb" >"$work/blocks.out"
        nodes=$(head -c 4 "$work/blocks.meb" | od -An -tu4 | tr -d ' ')
        read -r kt km < <(measure "$tarvsolv" "$work/blocks.txt" 0 --solver MF)
        "$convert" inp "$work/blocks.txt" "$work/blocks.inp"
        read -r ct cm < <(cd "$work" && measure ccx -i blocks)
        read -r _ _ kdiff < <("$convert" compare "$work/blocks.out" "$work/blocks.dat")
        printf '%-5s | %9d | %17s (%6s) | %17s (%6s) | %-22s | %s\n' "$cells" $((3 * nodes)) "$kt" "$km" "$ct" "$cm" "$(ratios "$kt" "$km" "$ct" "$cm")" "$kdiff"
    done
}

# Thermal stress in one run (ana=11): a 200 x 20 x 20 steel bar of 10n x n x n quadratic cells
# (BENCH_BAR_CELLS, default 8: 139,587 unknowns), its ends held at 100 and 20 C (20 the stress-free
# temperature) and along x between two walls, on rollers at y = 0 and z = 0; tarvsolv by PCG and MF.
# The peer whose ratios are printed is CalculiX's *UNCOUPLED TEMPERATURE-DISPLACEMENT, STEADY
# STATE: like ours it solves the heat first and then the structure at those temperatures, each
# on its own unknowns, which is all a one-way coupling needs. Its *COUPLED TEMPERATURE-
# DISPLACEMENT, STEADY STATE solves four unknowns a node together by Newton iterations, work the
# problem does not ask for; it is run too and its time and differences printed beside.
thermal_rows() {
    printf '\n%-5s | %-9s | %-28s | %-28s | %-34s | %-32s | %s\n' cells unknowns "tarvsolv PCG cpu/wall s (MB)" "tarvsolv MF cpu/wall s (MB)" "CalculiX uncoupled cpu/wall s (MB)" "CalculiX coupled cpu/wall s (MB)" "largest |du| / |u|, |dT| / |T|: PCG, MF against uncoupled; MF against coupled"
    local cells nodes pt pm mt mm ut um ct cm ours theirs ru rmu rc rmc
    for cells in ${BENCH_BAR_CELLS:-8}; do
        "$convert" bar "$work/bar.meb" "$cells"
        printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=11 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n20,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\nRESTRAINTS\nbor 1 0 1 1\nbor 2 0 1 1\nbor 3 1 0 1\nbor 5 1 1 0\nCONSTRAINTS\nTMATERIALS\n1  0.05,0,0,7.85e-06,460\nTRESTRAINTS\nbor 1 temp 100\nbor 2 temp 20\n' \
            "$step" "$work/bar.meb" >"$work/bar.txt"
        nodes=$(head -c 4 "$work/bar.meb" | od -An -tu4 | tr -d ' ')
        printf 'MESHFILE\n%s\nBODIES 1\n 1 6 12 8\nEND\n' "$work/bar.meb" >"$work/bar.out"
        read -r pt pm < <(measure "$tarvsolv" "$work/bar.txt" 0 --solver PCG)
        cp "$work/bar.out" "$work/barpcg.out"
        printf 'MESHFILE\n%s\nBODIES 1\n 1 6 12 8\nEND\n' "$work/bar.meb" >"$work/bar.out"
        read -r mt mm < <(measure "$tarvsolv" "$work/bar.txt" 0 --solver MF)
        "$convert" inp "$work/bar.txt" "$work/uncoupled.inp" uncoupled
        read -r ut um < <(cd "$work" && measure ccx -i uncoupled)
        "$convert" inp "$work/bar.txt" "$work/coupled.inp"
        read -r ct cm < <(cd "$work" && measure ccx -i coupled)
        local differences=() pair
        for pair in "barpcg.out uncoupled.dat" "bar.out uncoupled.dat" "bar.out coupled.dat"; do
            read -r ours theirs <<<"$pair"
            differences+=("$("$convert" compare "$work/$ours" "$work/$theirs" | awk '{ print $3 }') $("$convert" tcompare "$work/$ours" "$work/$theirs" | awk '{ print $3 }')")
        done
        printf '%-5s | %9d | %19s (%6s) | %19s (%6s) | %25s (%6s) | %23s (%6s) | %s, %s; %s\n' "$cells" $((3 * nodes)) "$pt" "$pm" "$mt" "$mm" "$ut" "$um" "$ct" "$cm" "${differences[0]}" "${differences[1]}" "${differences[2]}"
        local solver time memory
        for solver in "PCG $pt $pm" "MF $mt $mm"; do
            read -r solver time memory <<<"$solver"
            read -r ru rmu < <(ratios "$time" "$memory" "$ut" "$um")
            read -r rc rmc < <(ratios "$time" "$memory" "$ct" "$cm")
            printf '      thermal stress, %s against CalculiX uncoupled: CPU time x %s, memory x %s; coupled: x %s, x %s\n' "$solver" "$ru" "$rmu" "$rc" "$rmc"
        done
    done
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
    contact_rows
}

if [[ ${BENCH_THERMAL_ONLY:-0} == 1 ]]; then
    thermal_rows
    exit 0
fi
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

[[ ${BENCH_EIGEN_ONLY:-0} == 1 ]] || thermal_rows
[[ ${BENCH_STATIC_ONLY:-0} == 1 ]] && exit 0

# One eigenvalue row of the input in job.txt: tarvsolv's and CalculiX's time and memory, their
# ratios and the lowest load factor or frequency of each.
eigen_row() {  # size label
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    local et em ct cm lowest="-"
    read -r et em < <(measure_or_refused "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    [[ $et == refused ]] || lowest=$("$convert" factors "$work/job.out" "$work/ccx.dat")
    printf '%-5s | %-9s | %17s (%6s) | %17s (%6s) | %-22s | %s\n' "$1" "$2" "$et" "$em" "$ct" "$cm" "$(ratios "$et" "$em" "$ct" "$cm")" "$lowest"
}

# Buckling (5 modes), natural frequencies (5 modes) and forced vibration (100 steps of 1e-5 s, Rayleigh damping 5 /s and 1e-6 s)
# on the same meshes. tarvsolv factorises K for buckling and modes whatever the solver setting.
printf '\n%-5s | %-9s | %-28s | %-28s | %-22s | %s\n' size analysis "tarvsolv cpu/wall s (MB)" "CalculiX cpu/wall s (MB)" "ratio cpu, memory" "lowest load factor (modes: frequency, Hz): tarvsolv, CalculiX"
for run in "${runs[@]}"; do
    read -r size fixed loaded <<<"$run"
    write_input "$size"
    "$velgrin" "$work/job.txt" 0 >/dev/null
    write_input "$size" "$fixed" "$loaded" 0 5,0,0,0,0 $'BUCKLE\n'
    eigen_row "$size" buckling
    # Natural frequencies (5 modes) of the held bracket, without the loads; CalculiX *FREQUENCY.
    write_input "$size" "$fixed" "" 3 5,0,0,0,0
    eigen_row "$size" modes
    [[ ${BENCH_EIGEN_ONLY:-0} == 1 ]] && continue
    write_input "$size" "$fixed" "$loaded" 5 0,100,1e-05,100,0 $'DYNAMIC\n5 1e-06\n'
    printf 'MESHFILE\n%s\n' "$work/job.meb" >"$work/job.out"
    read -r dt dm < <(measure_or_refused "$tarvsolv" "$work/job.txt" 0 --solver MF)
    "$convert" inp "$work/job.txt" "$work/ccx.inp"
    read -r ct cm < <(cd "$work" && measure ccx -i ccx)
    printf '%-5s | %-9s | %17s (%6s) | %17s (%6s) | %-22s |\n' "$size" vibration "$dt" "$dm" "$ct" "$cm" "$(ratios "$dt" "$dm" "$ct" "$cm")"
done

[[ ${BENCH_EIGEN_ONLY:-0} == 1 ]] || nonlinear_rows
