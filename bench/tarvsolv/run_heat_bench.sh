#!/usr/bin/env bash
# Natural convection in a square cavity (de Vahl Davis 1983): the side x = 0 hot, x = L cold, top
# and bottom adiabatic, gravity along -y, Prandtl number 0.71, at the Rayleigh number
# BENCH_HEAT_RAYLEIGH (1e3, 1e4 or 1e5; default 1e5). tarvsolv (MF and PCG) against OpenFOAM's
# buoyantSimpleFoam, each at a few resolutions, against the benchmark's mean Nusselt number of the
# hot wall (1.118, 2.243, 4.519). For every run it prints the CPU time (user + system; the wall
# time after it, which other work on the machine inflates), the peak memory and the error of the
# Nusselt number; then, at equal error, the ratios of CPU time and memory of each tarvsolv run to
# OpenFOAM. Every program runs on one process with one BLAS/OpenMP thread.
#
# Both are two-dimensional: a layer one cell thick. tarvsolv: header code 10 (flow with heat) on a
# structured quadratic tetrahedral box mesh of n x n x 1 cells of the unit square (tarvsolv-boxmesh),
# slip walls front and back, no slip on the four sides, the hot and cold sides held at 1 and 0, in
# a fluid of unit density, heat capacity, conductivity and expansion with viscosity 0.71 under the
# acceleration 0.71 Ra (the Boussinesq flow of tarvsolv has exactly these numbers); Newton to a
# relative residual of 1e-8; the Nusselt number is the one the solver logs for the hot face.
# OpenFOAM: a blockMesh hex mesh of N x N x 1 cells with empty front and back, buoyantSimpleFoam
# laminar, air as a perfect gas (28.96 g/mol, cp 1004.5 J/(kg K), mu 1.8e-5 Pa s, Pr 0.71) at
# 1 bar, 300.5 K and 299.5 K on the walls: beta = 1/300 K, and the density, which this solver keeps
# in the inertia and the continuity too, varies by 1/300 across the cavity; the side L is chosen to
# give Ra with g = 9.81. SIMPLE (U and h relaxed by 0.3, p_rgh by 0.7), second-order linear
# schemes, until the initial residuals of U and h are below 1e-7 and that of p_rgh below 1e-5
# (p_rgh's stalls near 3e-7 on the round-off of the absolute pressure), at most 500 N iterations
# (a run that reaches them fails the bench); the Nusselt number is the heat through the hot wall
# from the wallHeatFlux function object over k L dT (k = mu cp / Pr, per unit depth). Only the solves
# are timed: the meshing is not, for either program.
#
# usage: bench/tarvsolv/run_heat_bench.sh [build folder]   (default: build)
# BENCH_HEAT_CELLS: tarvsolv MF's cells a side (default "8 12 16"); BENCH_HEAT_PCG_CELLS: PCG's
# (default "8 12": at Ra 1e5 its linear solves need the continuation in density and take ten times
# MF's time); BENCH_HEAT_FOAM_CELLS: OpenFOAM's (default "10 20 40"); BENCH_KEEP=1 keeps the work
# folder (cases, logs).
# needs in the build folder: tarvdir/tarvsolv, bin/tarvsolv-boxmesh; and /usr/bin/time. Installs
# the Debian package openfoam when buoyantSimpleFoam is missing (as root).
set -euo pipefail
build=${1:-build}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
# shellcheck source=bench/tarvsolv/openfoam_bench.sh
source "$(dirname "$0")/openfoam_bench.sh"
bench_start buoyantSimpleFoam "tarvsolv and tarvsolv-boxmesh" "$tarvsolv" "$boxmesh"

rayleigh=${BENCH_HEAT_RAYLEIGH:-1e5}
case $rayleigh in
    1e3) reference=1.118 ;;
    1e4) reference=2.243 ;;
    1e5) reference=4.519 ;;
    *) echo "BENCH_HEAT_RAYLEIGH must be 1e3, 1e4 or 1e5 (the benchmark's), not $rayleigh"; exit 1 ;;
esac

# The air of the OpenFOAM case: the density at the mean temperature and 1 bar, the kinematic
# viscosity and diffusivity there, and the side that gives the Rayleigh number.
molar_mass=28.96 cp=1004.5 viscosity=1.8e-05 prandtl=0.71 mean_temperature=300 pressure=1e5
side=$(awk -v ra="$rayleigh" -v M=$molar_mass -v mu=$viscosity -v pr=$prandtl -v T=$mean_temperature -v p=$pressure '
    BEGIN { nu = mu / (p / (8314.47 / M * T)); alpha = nu / pr
            printf "%.9g\n", exp(log(ra * nu * alpha * T / 9.81) / 3) }')

# The relative error of a Nusselt number.
nusselt_error() {  # nusselt
    awk -v nu="$1" -v ref="$reference" 'BEGIN { printf "%.3e\n", nu / ref - 1 }'
}

# A buoyantSimpleFoam case of the cavity with n x n x 1 cells in folder $1.
write_foam_case() {  # folder n
    local dir=$1 n=$2 depth limit
    # SIMPLE's iterations grow about as n and then faster (800 at 10 cells, 3,000 at 40 and some
    # 16,000 at 80 at Ra 1e5): a run that needs more than 500 n is not converging.
    limit=$((n < 10 ? 5000 : 500 * n))
    depth=$(awk -v s="$side" -v n="$n" 'BEGIN { printf "%.9g\n", s / n }')
    mkdir -p "$dir/system" "$dir/constant" "$dir/0"
    {
        foam_header dictionary blockMeshDict
        echo "vertices ((0 0 0) ($side 0 0) ($side $side 0) (0 $side 0)"
        echo "  (0 0 $depth) ($side 0 $depth) ($side $side $depth) (0 $side $depth));"
        echo "blocks (hex (0 1 2 3 4 5 6 7) ($n $n 1) simpleGrading (1 1 1));"
        echo "boundary (hot { type wall; faces ((0 4 7 3)); } cold { type wall; faces ((1 2 6 5)); }"
        echo "  adiabatic { type wall; faces ((0 1 5 4) (3 7 6 2)); }"
        echo "  frontAndBack { type empty; faces ((0 3 2 1) (4 5 6 7)); });"
    } >"$dir/system/blockMeshDict"
    {
        foam_header dictionary controlDict
        echo "application buoyantSimpleFoam; startFrom startTime; startTime 0; stopAt endTime; endTime $limit;"
        echo "deltaT 1; writeControl timeStep; writeInterval $limit; writeFormat ascii; writePrecision 12;"
        echo "timeFormat general; runTimeModifiable false;"
        echo "functions { heat { type wallHeatFlux; libs (\"libfieldFunctionObjects.so\"); patches (hot);"
        echo "  writeControl writeTime; } }"
    } >"$dir/system/controlDict"
    {
        foam_header dictionary fvSchemes
        echo "ddtSchemes { default steadyState; } gradSchemes { default Gauss linear; }"
        echo "divSchemes { default none; div(phi,U) bounded Gauss linear; div(phi,h) bounded Gauss linear;"
        echo "  div(phi,K) bounded Gauss linear; div(((rho*nuEff)*dev2(T(grad(U))))) Gauss linear; }"
        echo "laplacianSchemes { default Gauss linear orthogonal; } interpolationSchemes { default linear; }"
        echo "snGradSchemes { default orthogonal; }"
    } >"$dir/system/fvSchemes"
    {
        foam_header dictionary fvSolution
        echo "solvers { p_rgh { solver GAMG; smoother DICGaussSeidel; tolerance 1e-14; relTol 0.01; maxIter 100; }"
        echo "  \"(U|h)\" { solver PBiCGStab; preconditioner DILU; tolerance 1e-14; relTol 0.1; } }"
        echo "SIMPLE { momentumPredictor yes; nNonOrthogonalCorrectors 0; pRefCell 0; pRefValue $pressure;"
        echo "  residualControl { p_rgh 1e-5; U 1e-7; h 1e-7; } }"
        echo "relaxationFactors { fields { rho 1; p_rgh 0.7; } equations { U 0.3; h 0.3; } }"
    } >"$dir/system/fvSolution"
    {
        foam_header dictionary thermophysicalProperties
        echo "thermoType { type heRhoThermo; mixture pureMixture; transport const; thermo hConst;"
        echo "  equationOfState perfectGas; specie specie; energy sensibleEnthalpy; }"
        echo "mixture { specie { molWeight $molar_mass; } thermodynamics { Cp $cp; Hf 0; }"
        echo "  transport { mu $viscosity; Pr $prandtl; } }"
    } >"$dir/constant/thermophysicalProperties"
    { foam_header dictionary turbulenceProperties; echo "simulationType laminar;"; } >"$dir/constant/turbulenceProperties"
    { foam_header uniformDimensionedVectorField g; echo "dimensions [0 1 -2 0 0 0 0]; value (0 -9.81 0);"; } >"$dir/constant/g"
    {
        foam_header volVectorField U
        echo "dimensions [0 1 -1 0 0 0 0]; internalField uniform (0 0 0);"
        echo "boundaryField { \"(hot|cold|adiabatic)\" { type noSlip; } frontAndBack { type empty; } }"
    } >"$dir/0/U"
    {
        foam_header volScalarField T
        echo "dimensions [0 0 0 1 0 0 0]; internalField uniform $mean_temperature;"
        echo "boundaryField { hot { type fixedValue; value uniform $(awk -v T=$mean_temperature 'BEGIN { print T + 0.5 }'); }"
        echo "  cold { type fixedValue; value uniform $(awk -v T=$mean_temperature 'BEGIN { print T - 0.5 }'); }"
        echo "  adiabatic { type zeroGradient; } frontAndBack { type empty; } }"
    } >"$dir/0/T"
    # buoyantSimpleFoam solves for p_rgh = p - rho g.h and derives p from it.
    local field wall
    for field in p p_rgh; do
        wall=calculated
        [[ $field == p ]] || wall=fixedFluxPressure
        {
            foam_header volScalarField $field
            echo "dimensions [1 -1 -2 0 0 0 0]; internalField uniform $pressure;"
            echo "boundaryField { \"(hot|cold|adiabatic)\" { type $wall; value uniform $pressure; }"
            echo "  frontAndBack { type empty; } }"
        } >"$dir/0/$field"
    done
}

# The hot wall's mean Nusselt number of a converged case: its heat (the integral of the last
# wallHeatFlux line, the heat into the fluid) over what conduction carries across the cavity
# through the same wall, k dT side depth, with depth = side / n.
foam_nusselt() {  # folder n
    awk -v n="$2" -v s="$side" -v mu=$viscosity -v cp=$cp -v pr=$prandtl '
        $2 == "hot" { q = $5 }
        END { if (q == "") exit 1; printf "%.6f\n", q * n / (mu * cp / pr * s) }' "$1"/postProcessing/heat/*/wallHeatFlux.dat
}

# One OpenFOAM row: "cpu/wall MB nusselt iterations".
foam_row() {  # n
    local n=$1 dir=$work/foam$1 time memory iterations nusselt
    write_foam_case "$dir" "$n"
    foam_block_mesh "$dir"
    read -r time memory < <(measure "${foam[@]}" buoyantSimpleFoam -case "$dir")
    cp "$work/run.log" "$dir/buoyantSimpleFoam.log"
    iterations=$(simple_iterations "$dir/buoyantSimpleFoam.log")
    [[ -n $iterations ]] || { echo "buoyantSimpleFoam did not converge on $n cells a side" >&2; exit 1; }
    nusselt=$(foam_nusselt "$dir" "$n") || { echo "buoyantSimpleFoam wrote no wall heat flux on $n cells a side" >&2; exit 1; }
    printf '%s %s %s %s\n' "$time" "$memory" "$nusselt" "$iterations"
}

# The solver input of the cavity on mesh $work/cavity.meb (box sides 1 and 2 the hot and cold
# walls, 3 and 4 bottom and top, 5 and 6 the slip walls front and back); the buoyancy vanishes at
# the initial temperature 0.5, the mean of the walls'.
write_cavity_input() {
    printf 'HEADER\n0.001 m scale=1 nod=10 elem=0 ana=10 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,0,0,0,0.5,1e-8\nTABLES\nMSET\nMATERIALS\n1 1,0.71,1,1,1\nESIZE\nLOADS\nal 0, %s, 0\nRESTRAINTS\nbor 1 0 0 0\nbor 2 0 0 0\nbor 3 0 0 0\nbor 4 0 0 0\nbor 5 1 1 0\nbor 6 1 1 0\nCONSTRAINTS\nTRESTRAINTS\nbor 1 temp 1\nbor 2 temp 0\n' \
        "$work/cavity.step" "$work/cavity.meb" "$(awk -v ra="$rayleigh" 'BEGIN { printf "%.9g", -0.71 * ra }')" >"$work/cavity.txt"
}

# One tarvsolv row: "cpu/wall MB nusselt iterations", or "refused" (the log in run.log).
tarvsolv_row() {  # solver
    printf 'MESHFILE\n%s\nBODIES 1\n 1 6 12 8\nEND\n' "$work/cavity.meb" >"$work/cavity.out"
    local taken nusselt
    taken=$(measure_or_refused "$tarvsolv" "$work/cavity.txt" 0 --solver "$1")
    [[ $taken != refused ]] || { echo refused; return; }
    nusselt=$(sed -n 's/.*mean Nusselt number of face 1: \([-0-9.eE+]*\).*/\1/p' "$work/run.log" | tail -1)
    [[ -n $nusselt ]] || { echo refused; return; }
    printf '%s %s %s\n' "$taken" "$nusselt" "$(grep -c 'Newton iteration [1-9][0-9]*:' "$work/run.log" || true)"
}

printf 'Ra %s, Pr %s: benchmark mean Nusselt number of the hot wall %s\n\n' "$rayleigh" "$prandtl" "$reference"
printf '%-12s | %-7s | %-9s | %-22s | %-8s | %-10s | %s\n' program cells unknowns "cpu/wall s (MB)" Nusselt error iterations
rows=$work/rows.txt
: >"$rows"
for n in ${BENCH_HEAT_FOAM_CELLS-10 20 40}; do
    read -r time memory nusselt iterations < <(foam_row "$n")
    error=$(nusselt_error "$nusselt")
    # Ux, Uy, p_rgh and h in every cell.
    printf '%-12s | %-7s | %9d | %14s (%5s) | %8.4f | %10s | %s SIMPLE\n' OpenFOAM "${n}x$n" $((4 * n * n)) "$time" "$memory" "$nusselt" "$error" "$iterations"
    echo "foam ${n}x$n $time $memory $error" >>"$rows"
done
# The union of both solvers' meshes, each solved by the solvers that list it.
# shellcheck disable=SC2086
for n in $(printf '%s\n' ${BENCH_HEAT_CELLS-8 12 16} ${BENCH_HEAT_PCG_CELLS-8 12} | sort -n -u); do
    "$boxmesh" "$work/cavity.meb" "$n" "$n" 1 1 1 "$(awk -v n="$n" 'BEGIN { printf "%.9g", 1 / n }')" >/dev/null
    write_cavity_input
    # Three velocity components and the temperature at every node (three layers of them), the
    # pressure at the corners (two).
    unknowns=$((12 * (2 * n + 1) ** 2 + 2 * (n + 1) ** 2))
    for solver in MF PCG; do
        list=${BENCH_HEAT_CELLS-8 12 16}
        [[ $solver == PCG ]] && list=${BENCH_HEAT_PCG_CELLS-8 12}
        [[ " $list " == *" $n "* ]] || continue
        read -r time memory nusselt iterations < <(tarvsolv_row $solver)
        if [[ $time == refused ]]; then
            printf '%-12s | %-7s | %9d | refused: %s\n' "tarvsolv $solver" "${n}x$n" "$unknowns" "$(tail -1 "$work/run.log")"
            continue
        fi
        error=$(nusselt_error "$nusselt")
        printf '%-12s | %-7s | %9d | %14s (%5s) | %8.4f | %10s | %s Newton\n' "tarvsolv $solver" "${n}x$n" "$unknowns" "$time" "$memory" "$nusselt" "$error" "$iterations"
        echo "$solver ${n}x$n $time $memory $error" >>"$rows"
    done
done

at_equal_error "$rows" "Nusselt-number error"
