# shellcheck shell=bash
# The parts that the comparisons with OpenFOAM (run_flow_bench.sh, run_heat_bench.sh,
# run_conjugate_bench.sh, run_gas_bench.sh, run_nozzle_bench.sh) share:
# sourced by them, not run. Call bench_start first; the others use the folder $work it makes.

# Checks the programs a bench needs, installs the Debian package openfoam when its solver is
# missing (as root), makes the work folder $work (removed at exit unless BENCH_KEEP is set) and
# pins every program to one BLAS/OpenMP thread.
bench_start() {  # openfoam-solver hint program...
    local solver=$1 hint=$2 program
    shift 2
    for program in "$@"; do
        [[ -x $program ]] || { echo "missing $program: build $hint first"; exit 1; }
    done
    foam_env=/usr/share/openfoam/etc/bashrc
    if ! command -v "$solver" >/dev/null || [[ ! -r $foam_env ]]; then
        [[ $(id -u) == 0 ]] || { echo "OpenFOAM is missing: install the Debian package openfoam (as root)"; exit 1; }
        echo "installing the Debian package openfoam ..."
        export DEBIAN_FRONTEND=noninteractive
        apt-get install -y -qq --no-install-recommends openfoam >/dev/null ||
            { apt-get update -qq && apt-get install -y -qq --no-install-recommends openfoam >/dev/null; }
    fi
    export OPENBLAS_NUM_THREADS=1 OMP_NUM_THREADS=1
    work=$(mktemp -d)
    trap '[[ -n ${BENCH_KEEP:-} ]] || rm -rf "$work"' EXIT
    # An empty settings folder: one solver process whatever this machine's settings say.
    export KOLVANE_CONFIG_DIR=$work/settings
    [[ -z ${BENCH_KEEP:-} ]] || echo "kept: $work" >&2
    # Runs an OpenFOAM program in its environment, set up for that program alone so that the
    # solver's libraries are not shadowed; "${foam[@]}" PROGRAM ARGS... (the Debian script cannot
    # find all its helper scripts and says so: it is silenced; sourcing it takes 0.02 s of CPU time).
    # shellcheck disable=SC2016
    foam=(bash -c 'set +eu; source "$0" >/dev/null 2>&1; exec "$@"' "$foam_env")
}

# The times and peak memory of the run /usr/bin/time wrote to $work/time.txt: "cpu/wall MB".
time_taken() {
    awk '{ printf "%.2f/%.1f %.0f\n", $1 + $2, $3, $4 / 1024 }' "$work/time.txt"
}

# Runs a command under /usr/bin/time, its output in $work/run.log; prints "cpu-seconds/wall-seconds
# peak-MB". A failing command ends the bench with its log.
measure() {
    /usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$@" >"$work/run.log" 2>&1 || { cat "$work/run.log" >&2; exit 1; }
    time_taken
}

# As measure, but a failing command (a solver that refuses a run or does not converge) prints
# "refused": the bench goes on, and the caller shows the end of $work/run.log.
measure_or_refused() {
    if /usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$@" >"$work/run.log" 2>&1; then
        time_taken
    else
        echo refused
    fi
}

# The heading of an OpenFOAM dictionary or field file.
foam_header() {  # class object
    printf 'FoamFile { version 2.0; format ascii; class %s; object %s; }\n' "$1" "$2"
}

# The thermophysicalProperties of an ideal gas of ratio of specific heats gamma and gas constant R
# (J/(kg K)), inviscid (mu 0), internal energy its energy variable, as the compressible tutorials
# set it up.
foam_ideal_gas() {  # gamma R
    foam_header dictionary thermophysicalProperties
    echo "thermoType { type hePsiThermo; mixture pureMixture; transport const; thermo hConst; equationOfState perfectGas;"
    echo "  specie specie; energy sensibleInternalEnergy; }"
    awk -v g="$1" -v r="$2" 'BEGIN { printf "mixture { specie { molWeight %.8g; } thermodynamics { Cp %.8g; Hf 0; }\n", 8314.462618 / r, g * r / (g - 1) }'
    echo "  transport { mu 0; Pr 1; } }"
}

# Meshes an OpenFOAM case with blockMesh (not timed); a failure ends the bench with its log.
foam_block_mesh() {  # case-folder
    "${foam[@]}" blockMesh -case "$1" >"$1/blockMesh.log" 2>&1 || { cat "$1/blockMesh.log" >&2; exit 1; }
}

# The number of SIMPLE iterations of a converged run's log, or nothing when it did not converge.
simple_iterations() {  # log
    sed -n 's/^SIMPLE solution converged in \([0-9]*\) iterations.*/\1/p' "$1"
}

# At equal error: OpenFOAM's CPU time and memory at the error of each tarvsolv run, interpolated
# linearly in log(error) between the two OpenFOAM runs on either side of it (beyond the runs,
# extrapolated from the two nearest, and marked so). The rows file holds one run a line:
# "foam CELLS CPU/WALL MB ERROR" for OpenFOAM, "SOLVER CELLS CPU/WALL MB ERROR" for tarvsolv.
at_equal_error() {  # rows-file error-name
    printf '\nat equal %s (OpenFOAM interpolated on log error, log time and log memory):\n' "$2"
    awk '
    function abs(x) { return x < 0 ? -x : x }
    function at(e, what,   i, lo, t) {
        # OpenFOAM runs sorted by error, largest first; the segment holding e, or the end one.
        lo = 1
        for (i = 1; i < nf; i++) if (e <= fe[i] && e >= fe[i + 1]) lo = i
        if (e < fe[nf]) lo = nf - 1
        outside = (e > fe[1] || e < fe[nf])
        t = (log(e) - log(fe[lo])) / (log(fe[lo + 1]) - log(fe[lo]))
        return exp(log(what[lo]) + t * (log(what[lo + 1]) - log(what[lo])))
    }
    $1 == "foam" { nf++; fe[nf] = abs($5); split($3, c, "/"); ft[nf] = c[1]; fm[nf] = $4; next }
    { ns++; solver[ns] = $1; cells[ns] = $2; split($3, c, "/"); st[ns] = c[1]; sm[ns] = $4; se[ns] = abs($5) }
    END {
        for (i = 1; i <= nf; i++) for (j = i + 1; j <= nf; j++) if (fe[j] > fe[i]) {
            x = fe[i]; fe[i] = fe[j]; fe[j] = x; x = ft[i]; ft[i] = ft[j]; ft[j] = x; x = fm[i]; fm[i] = fm[j]; fm[j] = x }
        if (nf < 2) { print "  (needs two OpenFOAM runs)"; exit }
        for (i = 1; i <= ns; i++) {
            if (se[i] <= 0) { printf "  tarvsolv %s %s: error 0, not compared\n", solver[i], cells[i]; continue }
            t = at(se[i], ft); m = at(se[i], fm)
            printf "  tarvsolv %-3s %s, error %.2e: %.2f s, %d MB; OpenFOAM %.2f s, %d MB%s: CPU time x %.3f, memory x %.2f\n",
                solver[i], cells[i], se[i], st[i], sm[i], t, m, outside ? " (extrapolated)" : "", st[i] / t, sm[i] / m
            if (!outside) { compared[solver[i]]++; if (st[i] <= t) met[solver[i]]++ }
        }
        printf "goal, no slower than OpenFOAM at equal error (runs within OpenFOAM'"'"'s errors):"
        if (length(compared) == 0) printf " none to compare"
        for (s in compared) printf " %s no slower in %d of %d;", s, met[s], compared[s]
        printf "\n"
    }' "$1"
}
