#!/usr/bin/env bash
# The two-solid assembly of samples/assembly.run analysed through the add-on (one material for both
# bodies, reactions, pressure on both tops), checked against beam theory; then solved again with
# block 1's clamped edge and a line load on block 2's tip edge referenced by their numbers ("eor N",
# "efl N 0"), as the writer refers to edges whose two faces the host does not give.
# usage: assembly_edges.sh HOST SCRIPT TARVSOLV CHECKER
set -euo pipefail
host=$1 script=$2 tarvsolv=$3 checker=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export KOLVANE_CONFIG_DIR="$out/settings"
"$host" --script "$script" --out "$out" >"$out/session.log" 2>&1 || { cat "$out/session.log"; exit 1; }
project=$out/projects/two_solids
grep -qx 'efr 1 3 0 0 0' "$project/Pair.txt" || { echo "no edge reaction in Pair.txt" >&2; exit 1; }
"$checker" assembly "$project/Pair.meb" "$project/Pair.out" 210000 0.3 1 0
# Edge 1 (block 1, on its clamped end) and edge 20 (block 2, the top edge of its tip) by number.
sed -e 's/^efr 1 3 0 0 0$/eor 1 0 0 0/' -e 's/^LOADS$/LOADS\nefl 20 0 0 0, 0, -10/' "$project/Pair.txt" \
  >"$project/Edges.txt"
"$tarvsolv" "$project/Edges.txt" --quiet
"$checker" assembly "$project/Pair.meb" "$project/Edges.out" 210000 0.3 1 10
