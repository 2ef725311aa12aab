#!/usr/bin/env bash
# Adaptive against uniform refinement to 1 % on the strip with a hole of the end-to-end tests
# (long_plate.step, 300 x 100 x 5 mm, hole 20 mm, 100 N/mm2, quadratic, curvature sizing off),
# through the add-on in the stand-in host: uniform meshes of BENCH_ADAPT_SIZES mm (default
# "8 6 5 4") solved once each, and one run from 8 mm asking for a target of BENCH_ADAPT_TARGET %
# (default 1) in at most 6 cycles. For each it prints the unknowns, the error estimate and the
# solver's wall time from its log (for the adaptive run: every cycle's solve and remesh; the first
# mesh of each run is not counted); then the smallest uniform mesh that reaches the target.
# usage: bench/tarvsolv/run_adaptive_bench.sh [build folder]   (default: build)
set -euo pipefail
build=$(realpath "${1:-build}")
here=$(cd "$(dirname "$0")" && pwd)
sizes=${BENCH_ADAPT_SIZES:-8 6 5 4}
target=${BENCH_ADAPT_TARGET:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOLVANE_CONFIG_DIR=$work/settings

# The end-to-end script's set-up (material, supports, load), then a mesh and solve per loadcase.
script=$work/bench.run
sed -n '/^install /,/^menu "Build Mesh"/p' "$here/../../tests/tools/tarvsolv/end_to_end/adaptive_hole.run" |
    sed '$d' >"$script"
mesh_and_solve() {  # name size [target cycles]
    cat >>"$script" <<RUN
menu "Build Mesh"
prop "upper size" $2
prop grading "0.75"
prop "edge elements >" 0
prop "curve elements >" 0
click MESH
wait-file \$KOLVANE_OUT/projects/long_plate/$1.log 900 "velgrin: mesh written" "!velgrin error:"
menu Solve
choose 11025 elasticity
${3:+type 11069 $3}
${4:+type 11070 $4}
click SOLVE
wait-file \$KOLVANE_OUT/projects/long_plate/$1.slog 3600 "] done" "!] error:"
RUN
}
copy_loadcase() {  # from to
    printf 'menu Loadcase\nchoose 11032 %s\ntype 11066 %s\nclick Mechanical\nclick APPLY\nmenu Loadcase\nchoose 11032 %s\nclick APPLY\n' \
        "$1" "$2" "$2" >>"$script"
}
mesh_and_solve Coarse 8 "$target" 6
for size in $sizes; do
    copy_loadcase Coarse "U$size"
    mesh_and_solve "U$size" "$size" 0 0
done
"$build/bin/kolvane-host" --script "$script" --out "$work" >"$work/session.log" 2>&1 || {
    cat "$work/session.log"
    exit 1
}

# unknowns, error estimate (%) and wall seconds of a run's last solve.
summary() {  # slog
    # "[    2.72 s] refinement cycle 1: 24,288 unknowns, error estimate 2.13 %"
    awk '/\] mesh: / { nodes = $5 } /\] error estimate: / { error = $6 }
         /\] refinement cycle / { gsub(",", "", $7); unknowns = $7; error = $11 }
         /\] done/ { time = $2 }
         END { if (!unknowns) unknowns = 3 * nodes; printf "%9d unknowns  %7.3f %%  %7.1f s\n", unknowns, error, time }' "$1"
}
folder=$work/projects/long_plate
echo "adaptive from 8 mm, target $target %:"
grep -h "refinement" "$folder/Coarse.slog" | sed 's/^/    /'
printf '  adaptive   %s\n' "$(summary "$folder/Coarse.slog")"
reached=
for size in $sizes; do
    line=$(summary "$folder/U$size.slog")
    printf '  uniform %-3s%s\n' "$size" "$line"
    error=$(awk '{ print $3 }' <<<"$line")
    if [[ -z $reached ]] && awk -v e="$error" -v t="$target" 'BEGIN { exit !(e <= t) }'; then reached=$size; fi
done
echo "smallest uniform mesh that reaches $target %: ${reached:-none of $sizes}"
