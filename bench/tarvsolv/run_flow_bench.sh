#!/usr/bin/env bash
# Steady laminar flow of water (20 C) through a straight duct of square section, 10 mm a side and
# 40 mm long, driven by a pressure difference of 0.02 Pa between its open ends (walls no slip;
# Reynolds number about 17 on the side and the mean speed): tarvsolv (MF and PCG) against
# OpenFOAM's simpleFoam on the same duct, each at a few resolutions, against the closed form of
# fully developed flow (the series solution: flow rate 0.0351443 a^4 dp / (mu L), centreline speed
# 2.0962 times the mean). For every run it prints the CPU time (user + system; the wall time after
# it, which other work on the machine inflates), the peak memory and the errors of the flow rate
# and of the centreline speed; then, at equal flow-rate error, the ratios of CPU time and memory of
# each tarvsolv run to OpenFOAM. Every program runs on one process with one BLAS/OpenMP thread.
#
# tarvsolv: a structured quadratic tetrahedral box mesh of n x n cells across and n along
# (tarvsolv-boxmesh, six tetrahedra a cell), pressures on the two ends, no slip on the four sides,
# Newton to a relative residual of 1e-8; the flow rate is the solved velocity integrated over the
# outlet. OpenFOAM: a blockMesh hex mesh of N x N cells across and N along, simpleFoam laminar
# (SIMPLEC, second-order linear schemes), fixed pressures and zero-gradient velocity at the ends,
# until the pressure's initial residual is below 1e-8 (the flow rate has then settled to about
# 2e-5 of itself, far below its discretisation error); the flow rate is the sum of the face fluxes
# over the outlet. Only the solve is timed: the meshing is not, for either program.
#
# usage: bench/tarvsolv/run_flow_bench.sh [build folder]   (default: build)
# BENCH_FLOW_CELLS: tarvsolv's cells across the side (default "2 4 8");
# BENCH_FOAM_CELLS: OpenFOAM's (default "8 20 40"); BENCH_KEEP=1 keeps the work folder (cases, logs).
# needs in the build folder: tarvdir/tarvsolv, bin/tarvsolv-boxmesh, bin/tarvsolv-ductflow; and
# /usr/bin/time. Installs the Debian package openfoam when simpleFoam is missing (as root).
set -euo pipefail
build=${1:-build}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
ductflow=$build/bin/tarvsolv-ductflow
# shellcheck source=bench/tarvsolv/openfoam_bench.sh
source "$(dirname "$0")/openfoam_bench.sh"
bench_start simpleFoam "tarvsolv, tarvsolv-boxmesh and tarvsolv-ductflow" "$tarvsolv" "$boxmesh" "$ductflow"

# The duct in metres along x, its section [0, a] x [0, a]; water at 20 C.
side=0.01 length=0.04 drop=0.02 density=998.2 viscosity=1.002e-3
read -r exact_rate exact_speed < <("$ductflow" reference $side $length $drop $viscosity)

# "flow-rate-error centre-speed-error", relative to the closed form.
errors() {  # flow-rate centre-speed
    awk -v q="$1" -v u="$2" -v eq="$exact_rate" -v eu="$exact_speed" \
        'BEGIN { printf "%.3e %.3e\n", q / eq - 1, u / eu - 1 }'
}

# A simpleFoam case of the duct with n x n x n cells in folder $1.
write_foam_case() {  # folder n
    local dir=$1 n=$2
    mkdir -p "$dir/system" "$dir/constant" "$dir/0"
    {
        foam_header dictionary blockMeshDict
        echo "vertices ((0 0 0) ($length 0 0) ($length $side 0) (0 $side 0)"
        echo "  (0 0 $side) ($length 0 $side) ($length $side $side) (0 $side $side));"
        echo "blocks (hex (0 1 2 3 4 5 6 7) ($n $n $n) simpleGrading (1 1 1));"
        echo "boundary (inlet { type patch; faces ((0 4 7 3)); } outlet { type patch; faces ((1 2 6 5)); }"
        echo "  walls { type wall; faces ((0 1 5 4) (3 7 6 2) (0 3 2 1) (4 5 6 7)); });"
    } >"$dir/system/blockMeshDict"
    {
        foam_header dictionary controlDict
        echo "application simpleFoam; startFrom startTime; startTime 0; stopAt endTime; endTime 20000;"
        echo "deltaT 1; writeControl timeStep; writeInterval 20000; writeFormat ascii; writePrecision 12;"
        echo "timeFormat general; runTimeModifiable false;"
    } >"$dir/system/controlDict"
    {
        foam_header dictionary fvSchemes
        echo "ddtSchemes { default steadyState; } gradSchemes { default Gauss linear; }"
        echo "divSchemes { default none; div(phi,U) bounded Gauss linear; div((nuEff*dev2(T(grad(U))))) Gauss linear; }"
        echo "laplacianSchemes { default Gauss linear corrected; } interpolationSchemes { default linear; }"
        echo "snGradSchemes { default corrected; }"
    } >"$dir/system/fvSchemes"
    # Only p's residual decides convergence: the cross-flow components of U are zero but for
    # round-off, and their normalised residuals stay of order 1.
    {
        foam_header dictionary fvSolution
        echo "solvers { p { solver GAMG; smoother GaussSeidel; tolerance 1e-12; relTol 0.05; }"
        echo "  U { solver smoothSolver; smoother symGaussSeidel; tolerance 1e-12; relTol 0.1; } }"
        echo "SIMPLE { nNonOrthogonalCorrectors 0; consistent yes; residualControl { p 1e-8; } }"
        echo "relaxationFactors { equations { U 0.9; } fields { p 1; } }"
    } >"$dir/system/fvSolution"
    {
        foam_header dictionary transportProperties
        awk -v mu=$viscosity -v rho=$density 'BEGIN { printf "transportModel Newtonian; nu %.9g;\n", mu / rho }'
    } >"$dir/constant/transportProperties"
    { foam_header dictionary turbulenceProperties; echo "simulationType laminar;"; } >"$dir/constant/turbulenceProperties"
    {
        foam_header volVectorField U
        echo "dimensions [0 1 -1 0 0 0 0]; internalField uniform (0 0 0);"
        echo "boundaryField { inlet { type zeroGradient; } outlet { type zeroGradient; } walls { type noSlip; } }"
    } >"$dir/0/U"
    # simpleFoam's pressure is the kinematic one, p / rho.
    {
        foam_header volScalarField p
        echo "dimensions [0 2 -2 0 0 0 0]; internalField uniform 0;"
        awk -v p=$drop -v rho=$density 'BEGIN { printf "boundaryField { inlet { type fixedValue; value uniform %.9g; }\n", p / rho }'
        echo "  outlet { type fixedValue; value uniform 0; } walls { type zeroGradient; } }"
    } >"$dir/0/p"
}

# The speed on the axis: the mean speed of the cells whose centres lie nearest to it (four cells
# round it for an even n, the one it passes through for an odd n) over the whole length.
foam_centre_speed() {  # time folder
    awk -v c="$side" '
        BEGIN { c /= 2 }
        FNR == 1 { file++; inside = 0; cell = 0 }
        /^\(/ && !inside { inside = 1; next }
        inside && /^\)/ { inside = 0; nextfile }
        inside { gsub(/[()]/, ""); cell++; if (file == 1) { d[cell] = ($2 - c)^2 + ($3 - c)^2 }
                 else { s[cell] = sqrt($1^2 + $2^2 + $3^2) } }
        END { best = 1e30; for (i in d) if (d[i] < best) best = d[i]
              for (i in d) if (d[i] <= best * (1 + 1e-6) + 1e-30) { sum += s[i]; k++ }
              printf "%.10g\n", sum / k }' "$1/C" "$1/U"
}

# One OpenFOAM row: "cells cpu/wall MB rate speed iterations".
foam_row() {  # n
    local n=$1 dir=$work/foam$1 time memory rate speed latest iterations
    write_foam_case "$dir" "$n"
    foam_block_mesh "$dir"
    read -r time memory < <(measure "${foam[@]}" simpleFoam -case "$dir")
    cp "$work/run.log" "$dir/simpleFoam.log"
    iterations=$(simple_iterations "$dir/simpleFoam.log")
    [[ -n $iterations ]] || { echo "simpleFoam did not converge on $n cells a side" >&2; exit 1; }
    "${foam[@]}" postProcess -case "$dir" -latestTime -func writeCellCentres >"$dir/centres.log" 2>&1
    rate=$("${foam[@]}" postProcess -case "$dir" -latestTime -func "flowRatePatch(name=outlet)" 2>&1 |
        sed -n 's/.*sum(outlet) of phi = \([-0-9.eE+]*\).*/\1/p' | tail -1)
    latest=$("${foam[@]}" foamListTimes -case "$dir" -latestTime 2>/dev/null | tail -1)
    speed=$(foam_centre_speed "$dir/$latest")
    printf '%s %s %s %s %s %s\n' "$((n * n * n))" "$time" "$memory" "$rate" "$speed" "$iterations"
}

# The solver input of the duct on mesh $work/duct.meb: box sides 1 (x = 0, inlet) and 2 (x = L,
# outlet) under the pressures, sides 3 to 6 the walls.
write_duct_input() {
    printf 'HEADER\n0.001 m scale=1 nod=10 elem=0 ana=8 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n25,0,0,0,0,1e-8\nTABLES\nMSET\nMATERIALS\n1 %s,%s,0,0,0\nESIZE\nLOADS\nbol 1 1 %s\nbol 2 1 0\nRESTRAINTS\nbor 3 0 0 0\nbor 4 0 0 0\nbor 5 0 0 0\nbor 6 0 0 0\nCONSTRAINTS\n' \
        "$work/duct.step" "$work/duct.meb" "$density" "$viscosity" "$drop" >"$work/duct.txt"
}

# One tarvsolv row: "cpu/wall MB rate speed iterations", or "refused" (the log in run.log).
tarvsolv_row() {  # solver
    printf 'MESHFILE\n%s\nBODIES 1\n 1 6 12 8\nEND\n' "$work/duct.meb" >"$work/duct.out"
    local taken rate speed
    taken=$(measure_or_refused "$tarvsolv" "$work/duct.txt" 0 --solver "$1")
    [[ $taken != refused ]] || { echo refused; return; }
    read -r rate speed < <("$ductflow" measure "$work/duct.meb" "$work/duct.out" 2)
    printf '%s %s %s %s\n' "$taken" "$rate" "$speed" "$(grep -c 'Newton iteration [1-9][0-9]*:' "$work/run.log" || true)"
}

printf 'closed form: flow rate %s m3/s, centreline speed %s m/s\n\n' "$exact_rate" "$exact_speed"
printf '%-12s | %-8s | %-9s | %-22s | %-12s | %-10s | %s\n' program cells unknowns "cpu/wall s (MB)" "flow rate" "rate error" "centreline speed error, iterations"
rows=$work/rows.txt
: >"$rows"
for n in ${BENCH_FOAM_CELLS-8 20 40}; do
    read -r cells time memory rate speed iterations < <(foam_row "$n")
    read -r rate_error speed_error < <(errors "$rate" "$speed")
    printf '%-12s | %-8s | %9d | %14s (%5s) | %.6e | %10s | %s, %s SIMPLE\n' OpenFOAM "${n}^3" $((4 * cells)) "$time" "$memory" "$rate" "$rate_error" "$speed_error" "$iterations"
    echo "foam ${n}^3 $time $memory $rate_error" >>"$rows"
done
for n in ${BENCH_FLOW_CELLS-2 4 8}; do
    "$boxmesh" "$work/duct.meb" "$n" "$n" "$n" $length $side $side >/dev/null
    write_duct_input
    # Three velocity components at every node, the pressure at the corners of the cells' grid.
    unknowns=$((3 * (2 * n + 1) ** 3 + (n + 1) ** 3))
    for solver in MF PCG; do
        read -r time memory rate speed iterations < <(tarvsolv_row $solver)
        if [[ $time == refused ]]; then
            printf '%-12s | %-8s | %9d | refused: %s\n' "tarvsolv $solver" "${n}^3" "$unknowns" "$(tail -1 "$work/run.log")"
            continue
        fi
        read -r rate_error speed_error < <(errors "$rate" "$speed")
        printf '%-12s | %-8s | %9d | %14s (%5s) | %.6e | %10s | %s, %s Newton\n' "tarvsolv $solver" "${n}^3" "$unknowns" "$time" "$memory" "$rate" "$rate_error" "$speed_error" "$iterations"
        echo "$solver ${n}^3 $time $memory $rate_error" >>"$rows"
    done
done

at_equal_error "$rows" "flow-rate error"
