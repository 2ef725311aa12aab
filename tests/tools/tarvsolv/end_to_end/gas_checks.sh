#!/usr/bin/env bash
# The gas checks of tarvsolv-check-results on fields that hold their closed forms at every node,
# each of which must pass, and on the same fields off by what the check is there to catch, each
# of which must fail (exit 1: not a usage error, not a crash).
# usage: gas_checks.sh FIXTURE CHECKER
set -uo pipefail
fixture=$1 checker=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
# run EXPECTED CHECK ARGUMENTS...
run() {
    local expected=$1
    shift
    "$checker" "$@" >"$dir/log" 2>&1
    local rc=$?
    if [[ $rc != "$expected" ]]; then
        echo "$* exited $rc, expected $expected:"
        cat "$dir/log"
        failed=1
    fi
}
for variant in right wrong; do
    d=$dir/$variant
    mkdir -p "$d"
    wrong=() expected=0
    [[ $variant == wrong ]] && wrong=(WRONG) expected=1
    for kind in shocktube10 shocktube5 nozzle nozzleshock wedge; do
        "$fixture" $kind "$d" "${wrong[@]}" || exit 1
    done
    run $expected shocktube "$d/shocktube10.meb" "$d/shocktube10.out" 10 "$d/shocktube5.meb" "$d/shocktube5.out" 5 \
        1.4 287.05 0.1 26.85 0.01 -33.15 500 6.8e-4 1
    run $expected nozzle "$d/nozzle.meb" "$d/nozzle.out" 2 1.4 287.05 0.1 0.092 100 10 6e-5
    run $expected nozzle "$d/nozzleshock.meb" "$d/nozzleshock.out" 2 1.4 287.05 0.1 0.0767 100 10 6e-5
    run $expected wedge "$d/wedge.meb" "$d/wedge.out" 2 1.4 287.05 2 10 20
done
# A density block in g/mm3 instead of kg/mm3 fails the equation of state before any closed form.
sed -i '/^DENS 1$/,/^$/ s/e-09$/e-06/' "$dir/right/nozzle.out"
run 1 nozzle "$dir/right/nozzle.meb" "$dir/right/nozzle.out" 2 1.4 287.05 0.1 0.092 100 10 6e-5
# The force reports of two runs round a cylinder at Mach 0.3 and 0.1 N/mm2 (0.5 gamma p M^2 times
# the frontal 50 mm2 is 0.315 N): drag coefficients of 0.01 and 0.005, a lift coefficient of 0.002.
report() {
    printf '[  1.0 s] force of the gas on the walls (N, x y z):\n' >"$2"
    printf '[  1.0 s]   face 7: pressure %s 0, viscous 0 0 0, total %s 0\n' "$1" "$1" >>"$2"
}
report "0.00315 0.00063" "$dir/coarse.slog"
report "0.001575 0" "$dir/fine.slog"
run 0 drag "$dir/coarse.slog" 7 1.4 0.1 0.3 50 0.02 "$dir/fine.slog"
run 1 drag "$dir/fine.slog" 7 1.4 0.1 0.3 50 0.02 "$dir/coarse.slog"
run 1 drag "$dir/coarse.slog" 7 1.4 0.1 0.3 50 0.005
exit $failed
