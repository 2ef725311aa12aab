#!/usr/bin/env bash
# Meshes the sample bracket at three sizes with velgrin and with the gmsh command-line program on the
# same STEP file, same global sizes (upper size, lower size 0) and quadratic elements, and prints the
# times side by side. velgrin runs twice per size: with the add-on's default settings (curvature
# sizing, two elements per edge, three optimisation steps) and with settings asking for what gmsh does
# by default (no curvature or edge sizing, one pass).
#
# Each run is repeated (REPEAT, default 3) and the shortest time is kept. Both wall time and CPU time
# (user + system) are shown: on a shared machine the CPU time is the steadier comparison.
#
# usage: [REPEAT=n] bench/velgrin/run_bench.sh [build folder]   (default: build)
set -euo pipefail
build=${1:-build}
repeat=${REPEAT:-3}
velgrin=$build/tarvdir/velgrin
parts=$build/bin/velgrin-sample-parts
command -v gmsh >/dev/null || { echo "the gmsh program is missing (Debian package gmsh)"; exit 1; }
[[ -x $velgrin && -x $parts ]] || { echo "build velgrin and velgrin-sample-parts first"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The stand-in host's bracket when the host is built, else the mesher's own sample bracket.
step=$build/samples/bracket.step
if [[ ! -f $step ]]; then
    "$parts" "$work" >/dev/null
    step=$work/bracket.step
fi

# timed <output file> <command...> -> "wall cpu" of the shortest of $repeat runs (by wall time)
timed() {
    local out=$1 best_wall= best_cpu= wall user sys
    shift
    for ((i = 0; i < repeat; i++)); do
        local TIMEFORMAT='%R %U %S'
        read -r wall user sys < <({ time "$@" >"$out" 2>&1; } 2>&1)
        if [[ -z $best_wall ]] || (($(echo "$wall < $best_wall" | bc))); then
            best_wall=$wall
            best_cpu=$(echo "$user + $sys" | bc)
        fi
    done
    echo "$best_wall $best_cpu"
}

velgrin_run() {  # size settings -> wall cpu nodes
    local size=$1 settings=$2 input=$work/job.txt
    printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0\nMODEL\n%s\nMFILE\n%s\nTABLES\nMSET\n %s 0 %s 1 0\nMATERIALS\nESIZE\nLOADS\nRESTRAINTS\nCONSTRAINTS\n' \
        "$step" "$work/job.meb" "$size" "$settings" >"$input"
    local times; times=$(timed "$work/velgrin.out" "$velgrin" "$input" 0)
    local nodes; nodes=$(sed -n 's/.*summary: nodes=\([0-9]*\).*/\1/p' "$work/velgrin.out" | tail -1)
    echo "$times ${nodes:-?}"
}

gmsh_run() {  # size -> wall cpu nodes
    local times; times=$(timed "$work/gmsh.out" gmsh "$step" -3 -order 2 -clmax "$1" -clmin 0 -nt 1 -format msh4 -bin -o "$work/gmsh.msh")
    local nodes; nodes=$(sed -n 's/^Info *: \([0-9]*\) nodes [0-9]* elements.*/\1/p' "$work/gmsh.out" | tail -1)
    echo "$times ${nodes:-?}"
}

ratio() { echo "scale=2; $1 / $2" | bc; }

echo "$step, quadratic; times in seconds (wall / cpu), shortest of $repeat runs"
printf '%-5s| %-28s| %-28s| %-28s| %s\n' size "gmsh (nodes)" "velgrin defaults (nodes)" "velgrin matched (nodes)" "cpu ratio defaults, matched"
for size in 8 4 2; do
    read -r gw gc gn < <(gmsh_run "$size")
    read -r vw vc vn < <(velgrin_run "$size" "0.5 0.25 0 2 2 3 3")
    read -r mw mc mn < <(velgrin_run "$size" "0.5 0.25 0 0 0 1 1")
    printf '%-5s| %6.2f / %5.2f (%8s) | %6.2f / %5.2f (%8s) | %6.2f / %5.2f (%8s) | %s, %s\n' \
        "$size" "$gw" "$gc" "$gn" "$vw" "$vc" "$vn" "$mw" "$mc" "$mn" "$(ratio "$vc" "$gc")" "$(ratio "$mc" "$gc")"
done
