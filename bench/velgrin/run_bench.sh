#!/usr/bin/env bash
# Meshes the sample bracket at three sizes with velgrin and with the gmsh command-line program on the
# same STEP file, same global sizes and same element order, and prints the wall times side by side.
# velgrin is run twice per size: with its defaults (curvature sizing, optimisation passes) and with
# settings that ask for what gmsh does by default (no curvature sizing, one optimisation pass).
#
# usage: bench/velgrin/run_bench.sh [build folder]   (default: build)
set -euo pipefail
build=${1:-build}
velgrin=$build/tarvdir/velgrin
parts=$build/bin/velgrin-sample-parts
command -v gmsh >/dev/null || { echo "the gmsh program is missing (Debian package gmsh)"; exit 1; }
[[ -x $velgrin && -x $parts ]] || { echo "build velgrin and velgrin-sample-parts first"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$parts" "$work" >/dev/null
step=$work/bracket.step

seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc; }

velgrin_run() {  # size settings-tail -> seconds, nodes
    local size=$1 tail=$2 input=$work/job.txt
    printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0\nMODEL\n%s\nMFILE\n%s\nTABLES\nMSET\n %s 0 %s 1 0\nMATERIALS\nESIZE\nLOADS\nRESTRAINTS\nCONSTRAINTS\n' \
        "$step" "$work/job.meb" "$size" "$tail" >"$input"
    rm -f "$work/job.log"
    local t; t=$(seconds "$velgrin" "$input" 0)
    local nodes; nodes=$(sed -n 's/.*summary: nodes=\([0-9]*\).*/\1/p' "$work/job.log" | tail -1)
    echo "$t ${nodes:-?}"
}

gmsh_run() {  # size -> seconds, nodes
    local size=$1 start end
    start=$(date +%s.%N)
    gmsh "$step" -3 -order 2 -clmax "$size" -clmin 0 -nt 1 -format msh4 -bin -o "$work/gmsh.msh" >"$work/gmsh.out" 2>&1
    end=$(date +%s.%N)
    local nodes; nodes=$(sed -n 's/^Info *: \([0-9]*\) nodes [0-9]* elements.*/\1/p' "$work/gmsh.out" | tail -1)
    echo "$(echo "$end - $start" | bc) ${nodes:-?}"
}

printf '%-6s | %-22s | %-22s | %-22s | %s\n' size "gmsh s (nodes)" "velgrin default s (nodes)" "velgrin matched s (nodes)" "ratio default / matched"
for size in 8 4 2; do
    read -r gt ge < <(gmsh_run "$size")
    read -r vt ve < <(velgrin_run "$size" "0.5 0.25 0 2 2 3 3")    # the add-on's defaults
    read -r mt me < <(velgrin_run "$size" "0.5 0.25 0 0 0 1 1")    # no curvature sizing, one pass
    printf '%-6s | %8.3f (%9s)   | %8.3f (%9s)     | %8.3f (%9s)     | %.2f / %.2f\n' \
        "$size" "$gt" "$ge" "$vt" "$ve" "$mt" "$me" "$(echo "$vt / $gt" | bc -l)" "$(echo "$mt / $gt" | bc -l)"
done
