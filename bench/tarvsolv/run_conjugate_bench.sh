#!/usr/bin/env bash
# Conjugate heat transfer: a solid slab heated from below under a laminar channel flow. tarvsolv
# (MF and PCG) against OpenFOAM's chtMultiRegionSimpleFoam, each at a few resolutions, on the
# solid's peak temperature. There is no closed form: the reference is tarvsolv MF on a finer mesh
# than the rows' (not timed), and OpenFOAM's runs extrapolated to their limit check it. For
# every run it prints the CPU time (user + system; the wall time after it, which other work on the
# machine inflates), the peak memory and the error of the peak temperature rise; then, at equal
# error, the ratios of CPU time and memory of each tarvsolv run to OpenFOAM. Every program runs on
# one process with one BLAS/OpenMP thread.
#
# The case, two-dimensional as a layer one cubic cell thick: a slab 2 long and 0.25 thick (k 100) under
# a channel 0.5 high of a fluid of density 1, viscosity 0.02, conductivity 20 and heat capacity
# 1000 (Pr 1; Re and Pe 25 on the height and the mean speed 1). The fluid enters at x = 0 with
# the fully developed profile 6 z'(0.5 - z')/0.25 (z' above the slab) at temperature 0 and leaves
# through a free outlet at x = 2; no slip on the top wall, which is insulated. The slab takes a heat
# flux of 1000 per area on its bottom, its upstream end is held at 0 (the inlet's temperature, so
# that the temperature is continuous at the inlet's corner) and its downstream end is insulated;
# the fluid sticks to the slab, and temperature and heat flux are continuous across their face.
# The peak temperature lies on the heated face at the downstream end.
#
# tarvsolv: header code 10 on a structured quadratic tetrahedral box mesh of 8 c x 1 x 3 c cubes
# split at c cells into the slab (body 1) and the channel (body 2) (tarvsolv-boxmesh ... split z c),
# slip walls front and back, Newton to a relative residual of 1e-8; the peak is the largest nodal
# temperature (the fluid, heated only through the slab, is cooler). OpenFOAM: one blockMesh of
# 8 m x 1 x 3 m cubes in two cell zones, split into a fluid and a solid region by
# splitMeshRegions, empty front and back; laminar, constant properties (rhoConst, hConst, const),
# no gravity; the inlet's face values are the profile's means over each face (its flow rate exact);
# the solid's bottom a fixed gradient q/k; SIMPLE (U 0.7, p_rgh 0.3, h 1), linear schemes, until
# the fluid's initial residuals of U and p_rgh are below 1e-7 and that of h below 1e-8
# (runTimeControl; U's cross-flow component stalls near 1e-8; the solid is solved every iteration
# against the fluid's face temperatures, so a fluid whose h has settled sees a settled solid), at
# most 400 m^2 + 2000 iterations (a run that reaches them fails the bench); the peak is the largest
# face temperature of the solid's bottom. The temperatures run 300 K above tarvsolv's (the
# thermophysical models want absolute temperatures); only the rise is compared. Only the solves
# are timed: the meshing is not, for either program.
#
# usage: bench/tarvsolv/run_conjugate_bench.sh [build folder]   (default: build)
# BENCH_CHT_CELLS: tarvsolv MF's cells through the slab (default "1 2 4"); BENCH_CHT_PCG_CELLS:
# PCG's (default "1 2 4"); BENCH_CHT_REFERENCE: the reference run's (default 8: 10 s of CPU time
# and 750 MB); BENCH_CHT_FOAM_CELLS: OpenFOAM's (default "2 4 8 16");
# BENCH_KEEP=1 keeps the work folder (cases, logs).
# needs in the build folder: tarvdir/tarvsolv, bin/tarvsolv-boxmesh; and /usr/bin/time. Installs
# the Debian package openfoam when chtMultiRegionSimpleFoam is missing (as root).
set -euo pipefail
build=${1:-build}
tarvsolv=$build/tarvdir/tarvsolv
boxmesh=$build/bin/tarvsolv-boxmesh
# shellcheck source=bench/tarvsolv/openfoam_bench.sh
source "$(dirname "$0")/openfoam_bench.sh"
bench_start chtMultiRegionSimpleFoam "tarvsolv and tarvsolv-boxmesh" "$tarvsolv" "$boxmesh"

length=2 slab=0.25 channel=0.5
density=1 viscosity=0.02 fluid_conductivity=20 capacity=1000 solid_conductivity=100 heat_flux=1000
base=300  # OpenFOAM's temperature of tarvsolv's 0
top=$(awk -v s=$slab -v c=$channel 'BEGIN { print s + c }')

# The side of the cubic cells of a mesh with n cells through the slab: the layer is one cell
# thick. (The depth matters to tarvsolv: a deeper layer has larger tetrahedra, whose element
# Peclet number keeps the streamline term on at finer meshes, and this slows the convergence.)
cell_size() {  # n
    awk -v s=$slab -v n="$1" 'BEGIN { printf "%.9g\n", s / n }'
}

# A chtMultiRegionSimpleFoam case of 8 m x 1 x 3 m cells in folder $1, meshed and split.
write_foam_case() {  # folder m
    local dir=$1 m=$2 limit criterion depth
    limit=$((400 * m * m + 2000))
    depth=$(cell_size "$m")
    mkdir -p "$dir/system/fluid" "$dir/system/solid" "$dir/constant/fluid" "$dir/constant/solid"
    {
        foam_header dictionary blockMeshDict
        echo "vertices ((0 0 0) ($length 0 0) ($length $depth 0) (0 $depth 0)"
        echo "  (0 0 $slab) ($length 0 $slab) ($length $depth $slab) (0 $depth $slab)"
        echo "  (0 0 $top) ($length 0 $top) ($length $depth $top) (0 $depth $top));"
        echo "blocks (hex (0 1 2 3 4 5 6 7) solid ($((8 * m)) 1 $m) simpleGrading (1 1 1)"
        echo "  hex (4 5 6 7 8 9 10 11) fluid ($((8 * m)) 1 $((2 * m))) simpleGrading (1 1 1));"
        echo "boundary (bottom { type wall; faces ((0 3 2 1)); }"
        echo "  upstream { type wall; faces ((0 4 7 3)); } downstream { type wall; faces ((1 2 6 5)); }"
        echo "  inlet { type patch; faces ((4 8 11 7)); } outlet { type patch; faces ((5 6 10 9)); }"
        echo "  top { type wall; faces ((8 9 10 11)); }"
        echo "  frontAndBack { type empty; faces ((0 1 5 4) (3 7 6 2) (4 5 9 8) (7 11 10 6)); });"
    } >"$dir/system/blockMeshDict"
    {
        foam_header dictionary controlDict
        echo "application chtMultiRegionSimpleFoam; startFrom startTime; startTime 0; stopAt endTime;"
        echo "endTime $limit; deltaT 1; writeControl timeStep; writeInterval $limit; writeFormat ascii;"
        echo "writePrecision 12; timeFormat general; runTimeModifiable false;"
        echo "functions {"
        echo "  converged { type runTimeControl; libs (\"libutilityFunctionObjects.so\"); region fluid;"
        # The conditions of one group must all hold; "minimum" is met when the residual falls below the value.
        echo "    conditions {"
        for criterion in U:1e-7 h:1e-8 p_rgh:1e-7; do
            echo "      ${criterion%:*} { type equationInitialResidual; fields (${criterion%:*});"
            echo "        value ${criterion#*:}; mode minimum;"
            echo "        groupID 1; }"
        done
        echo "    } satisfiedAction end; }"
        echo "  peak { type surfaceFieldValue; libs (\"libfieldFunctionObjects.so\"); region solid;"
        echo "    regionType patch; name bottom; operation max; fields (T); writeFields false;"
        echo "    writeControl writeTime; } }"
    } >"$dir/system/controlDict"
    # splitMeshRegions reads the whole mesh's schemes and solution: those of the solid do.
    { foam_header dictionary regionProperties; echo "regions (fluid (fluid) solid (solid));"; } >"$dir/constant/regionProperties"
    {
        foam_header dictionary fvSchemes
        echo "ddtSchemes { default steadyState; } gradSchemes { default Gauss linear; }"
        echo "divSchemes { default none; div(phi,U) bounded Gauss linear; div(phi,h) bounded Gauss linear;"
        echo "  div(phi,K) bounded Gauss linear; div(((rho*nuEff)*dev2(T(grad(U))))) Gauss linear; }"
        echo "laplacianSchemes { default Gauss linear orthogonal; } interpolationSchemes { default linear; }"
        echo "snGradSchemes { default orthogonal; }"
    } >"$dir/system/fluid/fvSchemes"
    {
        foam_header dictionary fvSolution
        echo "solvers { p_rgh { solver GAMG; smoother DICGaussSeidel; tolerance 1e-12; relTol 0.01; maxIter 100; }"
        echo "  \"(U|h)\" { solver PBiCGStab; preconditioner DILU; tolerance 1e-14; relTol 0.1; } }"
        echo "SIMPLE { momentumPredictor yes; nNonOrthogonalCorrectors 0; rhoMin 0.5; rhoMax 2; }"
        echo "relaxationFactors { fields { rho 1; p_rgh 0.3; } equations { U 0.7; h 1; } }"
    } >"$dir/system/fluid/fvSolution"
    {
        foam_header dictionary fvSchemes
        echo "ddtSchemes { default steadyState; } gradSchemes { default Gauss linear; } divSchemes { default none; }"
        echo "laplacianSchemes { default Gauss linear orthogonal; } interpolationSchemes { default linear; }"
        echo "snGradSchemes { default orthogonal; }"
    } >"$dir/system/solid/fvSchemes"
    {
        foam_header dictionary fvSolution
        echo "solvers { h { solver PCG; preconditioner DIC; tolerance 1e-14; relTol 0.01; } }"
        echo "SIMPLE { nNonOrthogonalCorrectors 0; } relaxationFactors { equations { h 1; } }"
    } >"$dir/system/solid/fvSolution"
    cp "$dir/system/solid/fvSchemes" "$dir/system/solid/fvSolution" "$dir/system"
    {
        foam_header dictionary thermophysicalProperties
        echo "thermoType { type heRhoThermo; mixture pureMixture; transport const; thermo hConst;"
        echo "  equationOfState rhoConst; specie specie; energy sensibleEnthalpy; }"
        echo "mixture { specie { molWeight 18; } equationOfState { rho $density; }"
        echo "  thermodynamics { Cp $capacity; Hf 0; }"
        echo "  transport { mu $viscosity; Pr $(awk -v m=$viscosity -v c=$capacity -v k=$fluid_conductivity 'BEGIN { print m * c / k }'); } }"
    } >"$dir/constant/fluid/thermophysicalProperties"
    { foam_header dictionary turbulenceProperties; echo "simulationType laminar;"; } >"$dir/constant/fluid/turbulenceProperties"
    { foam_header uniformDimensionedVectorField g; echo "dimensions [0 1 -2 0 0 0 0]; value (0 0 0);"; } >"$dir/constant/g"
    {
        foam_header dictionary thermophysicalProperties
        echo "thermoType { type heSolidThermo; mixture pureMixture; transport constIso; thermo hConst;"
        echo "  equationOfState rhoConst; specie specie; energy sensibleEnthalpy; }"
        echo "mixture { specie { molWeight 1; } transport { kappa $solid_conductivity; }"
        echo "  thermodynamics { Cp $capacity; Hf 0; } equationOfState { rho $density; } }"
    } >"$dir/constant/solid/thermophysicalProperties"
    foam_block_mesh "$dir"
    "${foam[@]}" splitMeshRegions -case "$dir" -cellZones -overwrite >"$dir/split.log" 2>&1 ||
        { cat "$dir/split.log" >&2; exit 1; }
    write_foam_fields "$dir" "$m"
}

# The inlet's velocities: the profile's mean over each of the 2 m faces up the channel.
inlet_velocities() {  # m
    awk -v n=$((2 * $1)) -v h=$channel 'BEGIN {
        printf "nonuniform List<vector> %d (", n
        for (k = 0; k < n; k++) {
            a = k * h / n; b = (k + 1) * h / n   # z - slab at the face bottom and top
            mean = 6 / (h * h) * ((h * (b * b - a * a) / 2 - (b * b * b - a * a * a) / 3) / (b - a))
            printf "(%.12g 0 0) ", mean
        }
        printf ")" }'
}

# The fields of both regions: the flow at rest, the temperature at the inlet's.
write_foam_fields() {  # folder m
    local dir=$1 m=$2 zero=$1/0 field wall
    mkdir -p "$zero/fluid" "$zero/solid"
    {
        foam_header volVectorField U
        echo "dimensions [0 1 -1 0 0 0 0]; internalField uniform (0 0 0);"
        echo "boundaryField { \".*\" { type noSlip; } frontAndBack { type empty; }"
        echo "  inlet { type fixedValue; value $(inlet_velocities "$m"); }"
        echo "  outlet { type zeroGradient; } }"
    } >"$zero/fluid/U"
    for field in p p_rgh; do
        wall=calculated
        [[ $field == p ]] || wall=fixedFluxPressure
        {
            foam_header volScalarField $field
            echo "dimensions [1 -1 -2 0 0 0 0]; internalField uniform 1e5;"
            echo "boundaryField { \".*\" { type $wall; value uniform 1e5; } frontAndBack { type empty; }"
            [[ $field == p ]] || echo "  outlet { type fixedValue; value uniform 1e5; }"
            echo "}"
        } >"$zero/fluid/$field"
    done
    {
        foam_header volScalarField T
        echo "dimensions [0 0 0 1 0 0 0]; internalField uniform $base;"
        echo "boundaryField { \".*\" { type zeroGradient; } frontAndBack { type empty; }"
        echo "  inlet { type fixedValue; value uniform $base; }"
        echo "  fluid_to_solid { type compressible::turbulentTemperatureCoupledBaffleMixed; Tnbr T;"
        echo "    kappaMethod fluidThermo; value uniform $base; } }"
    } >"$zero/fluid/T"
    {
        foam_header volScalarField T
        echo "dimensions [0 0 0 1 0 0 0]; internalField uniform $base;"
        echo "boundaryField { \".*\" { type zeroGradient; } frontAndBack { type empty; }"
        echo "  upstream { type fixedValue; value uniform $base; }"
        echo "  bottom { type fixedGradient; gradient uniform $(awk -v q=$heat_flux -v k=$solid_conductivity 'BEGIN { print q / k }'); }"
        echo "  solid_to_fluid { type compressible::turbulentTemperatureCoupledBaffleMixed; Tnbr T;"
        echo "    kappaMethod solidThermo; value uniform $base; } }"
    } >"$zero/solid/T"
    {
        foam_header volScalarField p
        echo "dimensions [1 -1 -2 0 0 0 0]; internalField uniform 1e5;"
        echo "boundaryField { \".*\" { type calculated; value uniform 1e5; } frontAndBack { type empty; } }"
    } >"$zero/solid/p"
}

# The largest temperature on the solid's bottom of a finished case, as a rise above the inlet's.
foam_peak() {  # folder
    local file
    file=$(find "$1/postProcessing" -path "*/peak/*" -name 'surfaceFieldValue.dat' | head -1)
    [[ -n $file ]] || return 1
    awk -v base=$base '!/^#/ && NF >= 2 { t = $2 } END { if (t == "") exit 1; printf "%.6f\n", t - base }' "$file"
}

# One OpenFOAM row: "cpu/wall MB peak iterations".
foam_row() {  # m
    local m=$1 dir=$work/foam$1 time memory iterations peak
    write_foam_case "$dir" "$m"
    read -r time memory < <(measure "${foam[@]}" chtMultiRegionSimpleFoam -case "$dir")
    cp "$work/run.log" "$dir/chtMultiRegionSimpleFoam.log"
    grep -q 'Stopping calculation' "$dir/chtMultiRegionSimpleFoam.log" ||
        { echo "chtMultiRegionSimpleFoam did not converge on $m cells through the slab" >&2; exit 1; }
    iterations=$(sed -n 's/^Time = \([0-9]*\)$/\1/p' "$dir/chtMultiRegionSimpleFoam.log" | tail -1)
    peak=$(foam_peak "$dir") || { echo "chtMultiRegionSimpleFoam wrote no peak temperature on $m cells" >&2; exit 1; }
    printf '%s %s %s %s\n' "$time" "$memory" "$peak" "$iterations"
}

# The solver input of the case on mesh $work/slab.meb: body 1 the slab (faces 1 to 6: 1 its
# upstream end, 5 its bottom), body 2 the channel (faces 7 to 12: 7 the inlet, 8 the outlet,
# 9 and 10 front and back, 12 the top).
write_slab_input() {
    local profile
    profile=$(awk -v s=$slab -v h=$channel 'BEGIN { printf "%.9g*(z-%s)*(%s-z)", 6 / (h * h), s, s + h }')
    printf 'HEADER\n0.001 m scale=1 nod=10 elem=0 ana=10 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,0,0,0,0,1e-8\nTABLES\nMSET\nMATERIALS\n1 %s,0,%s,%s,0\n2 %s,%s,%s,%s,0\nESIZE\nLOADS\nbol 7 3 %s, 0, 0\nRESTRAINTS\nbor 9 1 0 1\nbor 10 1 0 1\nbor 12 0 0 0\nCONSTRAINTS\nTLOADS\nbol 5 0 %s\nTRESTRAINTS\nbor 7 temp 0\nbor 1 temp 0\n' \
        "$work/slab.step" "$work/slab.meb" $density $solid_conductivity $capacity \
        $density $viscosity $fluid_conductivity $capacity "$profile" $heat_flux >"$work/slab.txt"
}

# The slab's mesh of 8 c x 1 x 3 c cells, cubes, and its input.
mesh_slab() {  # c
    "$boxmesh" "$work/slab.meb" $((8 * $1)) 1 $((3 * $1)) $length "$(cell_size "$1")" "$top" split z "$1" >/dev/null
    write_slab_input
}

# The largest nodal temperature of the result file.
tarvsolv_peak() {
    awk '/^TEMP 1$/ { on = 1; next } /^[A-Z]/ { on = 0 } on && (t == "" || $2 > t) { t = $2 }
         END { if (t == "") exit 1; printf "%.6f\n", t }' "$work/slab.out"
}

# One tarvsolv row on the mesh of mesh_slab: "cpu/wall MB peak iterations", or "refused" (the log in
# run.log).
tarvsolv_row() {  # solver
    printf 'MESHFILE\n%s\nBODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n' "$work/slab.meb" >"$work/slab.out"
    local taken peak
    taken=$(measure_or_refused "$tarvsolv" "$work/slab.txt" 0 --solver "$1")
    [[ $taken != refused ]] || { echo refused; return; }
    peak=$(tarvsolv_peak) || { echo refused; return; }
    printf '%s %s %s\n' "$taken" "$peak" "$(grep -c 'Newton iteration [1-9][0-9]*:' "$work/run.log" || true)"
}

# The reference: MF's peak on a finer mesh than the rows'.
finest=${BENCH_CHT_REFERENCE:-8}
mesh_slab "$finest"
read -r time memory reference _ < <(tarvsolv_row MF)
[[ $time != refused ]] || { echo "tarvsolv refused the reference run on $finest cells: $(tail -1 "$work/run.log")"; exit 1; }
printf 'reference: the peak temperature rise of the slab by tarvsolv MF on %sx%s cells, %s (%s s CPU/wall, %s MB)\n\n' \
    $((8 * finest)) $((3 * finest)) "$reference" "$time" "$memory"

# The relative error of a peak temperature rise.
peak_error() {  # peak
    awk -v t="$1" -v ref="$reference" 'BEGIN { printf "%.3e\n", t / ref - 1 }'
}

printf '%-12s | %-7s | %-9s | %-22s | %-9s | %-10s | %s\n' program cells unknowns "cpu/wall s (MB)" peak error iterations
rows=$work/rows.txt
: >"$rows"
foam_peaks=()
for m in ${BENCH_CHT_FOAM_CELLS-2 4 8 16}; do
    read -r time memory peak iterations < <(foam_row "$m")
    error=$(peak_error "$peak")
    # Ux, Uz, p_rgh and h in every fluid cell, h in every solid one.
    printf '%-12s | %-7s | %9d | %14s (%5s) | %9.5f | %10s | %s SIMPLE\n' OpenFOAM "$((8 * m))x$((3 * m))" $((72 * m * m)) "$time" "$memory" "$peak" "$error" "$iterations"
    echo "foam $((8 * m))x$((3 * m)) $time $memory $error" >>"$rows"
    foam_peaks+=("$peak")
done
# OpenFOAM's own limit, a check of the reference that owes tarvsolv nothing: its three finest
# runs extrapolated with their observed order, when they halve the cells and converge monotonically.
if ((${#foam_peaks[@]} >= 3)); then
    awk -v a="${foam_peaks[-3]}" -v b="${foam_peaks[-2]}" -v c="${foam_peaks[-1]}" -v ref="$reference" 'BEGIN {
        if ((b - a) * (c - b) <= 0) { print "OpenFOAM'"'"'s three finest runs do not converge monotonically"; exit }
        p = log((b - a) / (c - b)) / log(2); x = c + (c - b) / (2 ^ p - 1)
        printf "OpenFOAM extrapolated (Richardson, observed order %.2f): %.6f, %+.2e from the reference\n", p, x, x / ref - 1 }'
fi
# The union of both solvers' meshes, each solved by the solvers that list it.
# shellcheck disable=SC2086
for c in $(printf '%s\n' ${BENCH_CHT_CELLS-1 2 4} ${BENCH_CHT_PCG_CELLS-1 2 4} | sort -n -u); do
    mesh_slab "$c"
    # Three velocity components and the temperature at every node (three layers of them), the
    # pressure at the corners (two).
    unknowns=$((12 * (16 * c + 1) * (6 * c + 1) + 2 * (8 * c + 1) * (3 * c + 1)))
    for solver in MF PCG; do
        list=${BENCH_CHT_CELLS-1 2 4}
        [[ $solver == PCG ]] && list=${BENCH_CHT_PCG_CELLS-1 2 4}
        [[ " $list " == *" $c "* ]] || continue
        read -r time memory peak iterations < <(tarvsolv_row $solver)
        if [[ $time == refused ]]; then
            printf '%-12s | %-7s | %9d | refused: %s\n' "tarvsolv $solver" "$((8 * c))x$((3 * c))" "$unknowns" "$(tail -1 "$work/run.log")"
            continue
        fi
        error=$(peak_error "$peak")
        printf '%-12s | %-7s | %9d | %14s (%5s) | %9.5f | %10s | %s Newton\n' "tarvsolv $solver" "$((8 * c))x$((3 * c))" "$unknowns" "$time" "$memory" "$peak" "$error" "$iterations"
        echo "$solver $((8 * c))x$((3 * c)) $time $memory $error" >>"$rows"
    done
done

at_equal_error "$rows" "peak-temperature error"
