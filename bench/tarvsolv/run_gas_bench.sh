#!/usr/bin/env bash
# Sod's shock tube: air at rest in a tube 1 m long, 1 bar and 1 kg/m3 left of the diaphragm at
# x = 0.5 m, 0.1 bar and 0.125 kg/m3 right of it (348.371 K and 278.697 K with R = 287.05 J/(kg K),
# gamma 1.4), inviscid, until t = 0.63246 ms (0.2 in Sod's units: the shock then stands at
# x = 0.85 m). tarvsolv (finite volumes on the median dual of a tetrahedral box mesh, HLLC and
# limited second-order reconstruction, explicit SSP Runge-Kutta at its default CFL number 3)
# against OpenFOAM's rhoCentralFoam (central-upwind Kurganov fluxes with van Leer limiters, Euler
# steps at Courant number 0.2, its tutorial's settings) on the same tube, each at a few
# resolutions, both against the exact solution of the Riemann problem. For every run it prints the
# CPU time (user + system; the wall time after it), the peak memory and the L1 errors of density,
# velocity and pressure (each relative to its jump); then, at equal density error, the ratios of
# CPU time and memory of each tarvsolv run to OpenFOAM. Every program runs on one process with one
# BLAS/OpenMP thread.
#
# tarvsolv: a linear tetrahedral box mesh of n cells along and one across (the side a cell's
# length), every side a slip wall; the axis is the mean over each cross-section's nodes.
# OpenFOAM: a blockMesh line of N hexahedra, the sides empty (one-dimensional); the cell centres.
# Only the solve is timed: the meshing is not, for either program.
#
# usage: bench/tarvsolv/run_gas_bench.sh [build folder]   (default: build)
# BENCH_GAS_CELLS: tarvsolv's cells along the tube (default "100 200 400");
# BENCH_FOAM_CELLS: OpenFOAM's (default "100 200 400 800"); BENCH_KEEP=1 keeps the work folder.
# needs in the build folder: tarvdir/tarvsolv, bin/tarvsolv-boxmesh, bin/tarvsolv-shocktube; and
# /usr/bin/time. Installs the Debian package openfoam when rhoCentralFoam is missing (as root).
set -euo pipefail
build=${1:-build}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
shocktube=$build/bin/tarvsolv-shocktube
# shellcheck source=bench/tarvsolv/openfoam_bench.sh
source "$(dirname "$0")/openfoam_bench.sh"
bench_start rhoCentralFoam "tarvsolv, tarvsolv-boxmesh and tarvsolv-shocktube" "$tarvsolv" "$boxmesh" "$shocktube"

length=1 diaphragm=0.5 end_time=6.3246e-4 gamma=1.4 gas_constant=287.05
rho_left=1 p_left=100000 t_left=348.371 rho_right=0.125 p_right=10000 t_right=278.697
errors() { "$shocktube" errors $diaphragm $end_time $gamma $rho_left $p_left $rho_right $p_right; }

# A rhoCentralFoam case of the tube with n cells in folder $1.
write_foam_case() {  # folder n
    local dir=$1 n=$2
    mkdir -p "$dir/system" "$dir/constant" "$dir/0"
    {
        foam_header dictionary blockMeshDict
        echo "vertices ((0 0 0) ($length 0 0) ($length 0.01 0) (0 0.01 0) (0 0 0.01) ($length 0 0.01) ($length 0.01 0.01) (0 0.01 0.01));"
        echo "blocks (hex (0 1 2 3 4 5 6 7) ($n 1 1) simpleGrading (1 1 1));"
        echo "boundary (ends { type patch; faces ((0 4 7 3) (1 2 6 5)); }"
        echo "  sides { type empty; faces ((0 1 5 4) (3 7 6 2) (0 3 2 1) (4 5 6 7)); });"
    } >"$dir/system/blockMeshDict"
    {
        foam_header dictionary controlDict
        echo "application rhoCentralFoam; startFrom startTime; startTime 0; stopAt endTime; endTime $end_time;"
        echo "deltaT 1e-7; writeControl adjustable; writeInterval $end_time; writeFormat ascii; writePrecision 10;"
        echo "timeFormat general; timePrecision 8; runTimeModifiable false; adjustTimeStep yes; maxCo 0.2; maxDeltaT 1;"
    } >"$dir/system/controlDict"
    {
        foam_header dictionary fvSchemes
        echo "fluxScheme Kurganov; ddtSchemes { default Euler; } gradSchemes { default Gauss linear; }"
        echo "divSchemes { default none; div(tauMC) Gauss linear; } laplacianSchemes { default Gauss linear corrected; }"
        echo "interpolationSchemes { default linear; reconstruct(rho) vanLeer; reconstruct(U) vanLeerV; reconstruct(T) vanLeer; }"
        echo "snGradSchemes { default corrected; }"
    } >"$dir/system/fvSchemes"
    {
        foam_header dictionary fvSolution
        echo 'solvers { "(rho|rhoU|rhoE)" { solver diagonal; } U { solver smoothSolver; smoother GaussSeidel; nSweeps 2; tolerance 1e-9; relTol 0.01; }'
        echo '  e { $U; tolerance 1e-10; relTol 0; } }'
    } >"$dir/system/fvSolution"
    foam_ideal_gas $gamma $gas_constant >"$dir/constant/thermophysicalProperties"
    { foam_header dictionary turbulenceProperties; echo "simulationType laminar;"; } >"$dir/constant/turbulenceProperties"
    {
        foam_header dictionary setFieldsDict
        echo "defaultFieldValues (volVectorFieldValue U (0 0 0) volScalarFieldValue T $t_left volScalarFieldValue p $p_left);"
        echo "regions (boxToCell { box ($diaphragm -1 -1) (2 1 1); fieldValues (volScalarFieldValue T $t_right volScalarFieldValue p $p_right); });"
    } >"$dir/system/setFieldsDict"
    local field dims
    for field in U T p; do
        case $field in
            U) dims="[0 1 -1 0 0 0 0]"; value="(0 0 0)"; class=volVectorField ;;
            T) dims="[0 0 0 1 0 0 0]"; value=1; class=volScalarField ;;
            p) dims="[1 -1 -2 0 0 0 0]"; value=1; class=volScalarField ;;
        esac
        {
            foam_header $class $field
            echo "dimensions $dims; internalField uniform $value;"
            echo "boundaryField { ends { type $([[ $field == U ]] && echo slip || echo zeroGradient); } sides { type empty; } }"
        } >"$dir/0/$field"
    done
}

# The "x rho u p" lines of the latest time of a case, from its cell centres.
foam_axis() {  # case folder
    local dir=$1 latest
    "${foam[@]}" postProcess -case "$dir" -latestTime -func writeCellCentres >"$dir/centres.log" 2>&1
    latest=$("${foam[@]}" foamListTimes -case "$dir" -latestTime 2>/dev/null | tail -1)
    awk '
        FNR == 1 { file++; inside = 0; cell = 0 }
        /^\(/ && !inside { inside = 1; next }
        inside && /^\)/ { inside = 0; nextfile }
        inside { gsub(/[()]/, ""); cell++; v[file, cell] = $1; n = cell }
        END { for (i = 1; i <= n; i++) printf "%s %s %s %s\n", v[1, i], v[2, i], v[3, i], v[4, i] }' \
        "$dir/$latest/C" "$dir/$latest/rho" "$dir/$latest/U" "$dir/$latest/p"
}

foam_row() {  # n: "cpu/wall MB rho-error u-error p-error"
    local n=$1 dir=$work/foam$1 time memory
    write_foam_case "$dir" "$n"
    foam_block_mesh "$dir"
    "${foam[@]}" setFields -case "$dir" >"$dir/setFields.log" 2>&1 || { cat "$dir/setFields.log" >&2; exit 1; }
    read -r time memory < <(measure "${foam[@]}" rhoCentralFoam -case "$dir")
    cp "$work/run.log" "$dir/rhoCentralFoam.log"
    printf '%s %s %s\n' "$time" "$memory" "$(foam_axis "$dir" | errors)"
}

# The solver input of the tube on mesh $work/tube.meb: every side a slip wall; the halves by a
# formula of x; ten steps of a tenth of the end time, each divided as the solver's default CFL number
# (row 6 = 0: 3) needs.
write_tube_input() {
    local c_left c_right
    c_left=$(awk -v t=$t_left 'BEGIN { printf "%.6f", t - 273.15 }')
    c_right=$(awk -v t=$t_right 'BEGIN { printf "%.6f", t - 273.15 }')
    {
        printf 'HEADER\n0.001 m scale=1 nod=4 elem=0 ana=9 0 0 0\nMODEL\n%s\nMFILE\n%s\n' "$work/tube.step" "$work/tube.meb"
        awk -v t=$end_time 'BEGIN { printf "SOLVE\n0,10,%.8g,10,0,0\n", t / 10 }'
        printf 'TABLES\nMSET\nMATERIALS\n1 1.2,0,0,1004.675,0,%s,%s\nESIZE\nLOADS\n' $gamma $gas_constant
        printf 'il x<%s ? %s : %s, x<%s ? %s : %s\n' $diaphragm $p_left $p_right $diaphragm "$c_left" "$c_right"
        printf 'RESTRAINTS\n'
        for side in 1 2 3 4 5 6; do printf 'bor %d 0 0 0\n' $side; done
        printf 'CONSTRAINTS\n'
    } >"$work/tube.txt"
}

tarvsolv_row() {  # n: "cpu/wall MB rho-error u-error p-error", or "refused"
    printf 'MESHFILE\n%s\nBODIES 1\n 1 6 12 8\nEND\n' "$work/tube.meb" >"$work/tube.out"
    local taken
    taken=$(measure_or_refused "$tarvsolv" "$work/tube.txt" 0)
    [[ $taken != refused ]] || { echo refused; return; }
    printf '%s %s\n' "$taken" "$("$shocktube" axis "$work/tube.meb" "$work/tube.out" | errors)"
}

printf '%-12s | %-6s | %-9s | %-20s | %s\n' program cells unknowns "cpu/wall s (MB)" "L1 error of density, velocity, pressure"
rows=$work/rows.txt
: >"$rows"
for n in ${BENCH_FOAM_CELLS-100 200 400 800}; do
    read -r time memory e_rho e_u e_p < <(foam_row "$n")
    printf '%-12s | %6d | %9d | %12s (%5s) | %s %s %s\n' OpenFOAM "$n" $((5 * n)) "$time" "$memory" "$e_rho" "$e_u" "$e_p"
    echo "foam $n $time $memory $e_rho" >>"$rows"
done
for n in ${BENCH_GAS_CELLS-100 200 400}; do
    side=$(awk -v l=$length -v n="$n" 'BEGIN { printf "%.8g", l / n }')
    "$boxmesh" "$work/tube.meb" "$n" 1 1 $length "$side" "$side" linear >/dev/null
    write_tube_input
    read -r time memory e_rho e_u e_p < <(tarvsolv_row "$n")
    if [[ $time == refused ]]; then
        printf '%-12s | %6d | refused: %s\n' tarvsolv "$n" "$(tail -1 "$work/run.log")"
        continue
    fi
    # Five conserved values at every corner node: four nodes a cross-section.
    printf '%-12s | %6d | %9d | %12s (%5s) | %s %s %s\n' tarvsolv "$n" $((20 * (n + 1))) "$time" "$memory" "$e_rho" "$e_u" "$e_p"
    echo "FV $n $time $memory $e_rho" >>"$rows"
done

at_equal_error "$rows" "density error"
