#!/usr/bin/env bash
# The host view's speed on the sample bracket, in the real windows (under Xvfb, Mesa's llvmpipe) and
# off screen as scripts draw it: frames per second of the shaded part, and of the von Mises
# contours on a quadratic mesh of about 100,000 elements; and the time from a click in the view to
# the frame showing what it picked (real clicks in the GUI; headless, the pick and one frame).
#
# usage: bench/host_app/view_bench.sh [build folder] [seconds per figure]   (defaults: build, 5)
# needs in the build folder: bin/kolvane-host, tarvdir (velgrin and tarvsolv), samples/bracket.step.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-build}" && pwd)
seconds=${2:-5}
host=$build/bin/kolvane-host
for need in "$host" "$build/tarvdir/velgrin" "$build/tarvdir/tarvsolv" "$build/samples/bracket.step"; do
  [[ -e $need ]] || { echo "view_bench: missing $need: build the project first"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "view_bench: Xvfb is missing (Debian package xvfb)"; exit 1; }
export KOLVANE_TARVDIR=$build/tarvdir KOLVANE_SAMPLES=$build/samples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/view.run" <<RUN
install \$KOLVANE_TARVDIR
projects \$KOLVANE_OUT/projects
open \$KOLVANE_SAMPLES/bracket.step
menu "FEM Explorer"
menu Loadcase
type 11066 Big
click Mechanical
click APPLY
view-frame-rate $seconds
pick face:8
pick face:3
pick edge:5
pick vertex:3
pick none
menu "Attach Materials"
select face:8
prop "Standard materials" "Steel S235"
click APPLY
menu "Add Reactions"
choose 11032 "XYZ fully fixed"
select face:1
click APPLY
menu "Add Actions"
choose 11032 "face: pressure"
type 11016 1
select face:8
click APPLY
menu "Build Mesh"
prop "upper size" 1.25
click MESH
wait-file \$KOLVANE_OUT/projects/bracket/Big.log 900 "velgrin: mesh written" "!velgrin error:"
menu Solve
choose 11025 elasticity
click SOLVE
wait-file \$KOLVANE_OUT/projects/bracket/Big.slog 1800 "] done" "!] error:"
menu Plot
choose 11025 "Von Mises Stress"
click PLOT
view-frame-rate $seconds
RUN

report() {  # report LABEL LOG
  echo "== $1"
  grep -E '^velgrin: summary' "$2" | sed 's/^/  mesh: /'
  grep -E '^(view:|picked)' "$2" | sed 's/^/  /'
}

"$host" --script "$work/view.run" --out "$work/headless" >"$work/headless.log" 2>&1 ||
  { cat "$work/headless.log"; exit 1; }
report "off screen (headless, 800 x 600)" "$work/headless.log"
"$root/scripts/xvfb-session" "$host" --gui --script "$work/view.run" --out "$work/gui" \
  >"$work/gui.log" 2>&1 || { cat "$work/gui.log"; exit 1; }
report "in the main window (GUI under Xvfb)" "$work/gui.log"
