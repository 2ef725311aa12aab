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
exit $failed
