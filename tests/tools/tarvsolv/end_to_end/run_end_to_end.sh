#!/usr/bin/env bash
# Runs a host script that analyses a sample part through the add-on as a user would (material,
# restraints, loads, mesh, solve), then checks the solver's results with a checker program.
# usage: run_end_to_end.sh HOST SCRIPT CHECKER [CHECKER ARGUMENTS, with @OUT for the output folder]
#        [--and CHECKER [ARGUMENTS]]...   (further checkers of the same run, each must pass)
set -euo pipefail
host=$1 script=$2 checker=$3
shift 3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export KOLVANE_CONFIG_DIR="$out/settings"
"$host" --script "$script" --out "$out" >"$out/session.log" 2>&1 || { cat "$out/session.log"; exit 1; }
args=()
for a in "$@" --and; do
    if [[ $a == --and ]]; then
        "$checker" "${args[@]}"
        args=()
        checker=
    elif [[ -z $checker ]]; then
        checker=$a
    else
        args+=("${a//@OUT/$out}")
    fi
done
