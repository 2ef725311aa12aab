#!/usr/bin/env bash
# The solver on several processes through the settings, as the add-on starts it: a bar held at one
# end under a pressure on the other, its nodes numbered in a random order, is solved once on one
# process, then again after `kolvane-register --solver-processes 2`, with the same command line. The
# second run numbers the nodes by pieces of the bar and must say in its log that it ran on 2
# processes, how the elements and unknowns were split, how few elements span both pieces and the
# halo; it must give the same displacements within 1e-8 of the largest, the same corner stresses
# and error estimate (each process evaluates both for its share of the elements) and reactions
# (each process sums its own nodes') within 1e-6, by
# the direct solver, in a result file of the same blocks, lines and node and element numbers
# (each process writes its share), and a VTK grid in one piece per process
# (".pvtu") of the same points and cells with the same values; and the same displacements within
# 1e-6 by the iterative one; so must the bar heated by
# a file of temperatures, and the bar pressed onto a rigid plane through a gap (contact in load
# steps), whose reaction table must balance, and a lid-driven cavity of water (incompressible flow), whose velocities must
# agree within 1e-8 of the largest by the direct solver, within 1e-6 by the iterative one (its
# multigrid aggregates differently on two processes, so the answers differ at the Newton tolerance).
# Without mpiexec on the PATH, or with a host file mpiexec refuses, the run goes on in one process
# and its log says why; the register
# tool refuses a count that is not a number and a host file that does not exist.
# usage: solver_processes.sh TARVSOLV KOLVANE-REGISTER TARVSOLV-BOXMESH
set -euo pipefail
tarvsolv=$1 register=$2 boxmesh=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOLVANE_CONFIG_DIR=$work/config
cd "$work"
nodes=$("$boxmesh" bar.meb 16 4 4 16 4 4 scramble 7 | awk '{ print $1 }')
printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0 1e-06 0 0\nMODEL\nbar.stp\nMFILE\n%s\nSOLVE\n0,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\nbol 2 1 10\nRESTRAINTS\nbor 1 0 0 0\nCONSTRAINTS\n' \
    "$work/bar.meb" >bar.txt

solve() {  # result copy, then any environment change for the run
    local copy=$1
    shift
    printf 'MESHFILE\n%s\n' "$work/bar.meb" >bar.out
    env "$@" "$tarvsolv" bar.txt 0 --solver "${SOLVER:-MF}" --quiet || { cat bar.slog; exit 1; }
    cp bar.out "$copy"
    if [ -f bar.vtu ]; then cp bar.vtu "${copy%.out}.vtu"; fi
}

# The values of the DISP block (or of block $2), one number per line: every column after the node
# (after the element and node in STRES), comment lines skipped.
displacements() {
    awk -v block="${2:-DISP}" '$1 == block { on = 1; next } on && NF == 0 { exit }
        on && $1 !~ /^;/ { for (k = block == "STRES" ? 3 : 2; k <= NF; k++) print $k }' "$1"
}

fail() {
    echo "FAIL: $*"
    exit 1
}

solve one.out
grep -q "(solver MF, 1 process)" bar.slog || fail "the first run was not on one process"
cp bar.slog one.slog

"$register" --solver-processes 2
solve two.out
grep -q "(solver MF, 2 processes)" bar.slog || { cat bar.slog; fail "the run after --solver-processes 2 was not on two processes"; }
same() {  # result file, result file[, block[, share]]: the values agree within 1e-8 (share) of the largest
    paste <(displacements "$1" "${3:-DISP}") <(displacements "$2" "${3:-DISP}") | awk -v share="${4:-1e-8}" '
        { d = $1 - $2; if (d < 0) d = -d; a = $1 < 0 ? -$1 : $1; if (a > big) big = a; if (d > worst) worst = d; n++ }
        END {
            printf "%d displacements, largest %g, largest difference %g\n", n, big, worst
            exit !(n > 0 && big > 0 && worst <= share * big)
        }'
}
same one.out two.out || fail "two processes do not give the displacements of one"
same one.out two.out STRES 1e-6 || fail "two processes do not give the stresses of one"
same one.out two.out ERRE 1e-6 || fail "two processes, each estimating its share of the elements, do not give the error estimate of one"
# Each process sums the reactions of its own nodes: the restraint's force and moment, and the
# applied loads', are one process's within 1e-6 of the largest.
reactions() { sed -nE 's/^\[[^]]*\] +(restraint on|sum of the applied loads)[^(]*//p' "$1" | tr -d '(),' | tr ' ' '\n' | grep .; }
paste <(reactions one.slog) <(reactions bar.slog) | awk '
    { d = $1 - $2; if (d < 0) d = -d; a = $1 < 0 ? -$1 : $1; if (a > big) big = a; if (d > worst) worst = d; n++ }
    END { exit !(n == 12 && big > 0 && worst <= 1e-6 * big) }' ||
    { grep -A4 "reactions:" one.slog bar.slog; fail "two processes do not give the reaction table of one"; }
# Each process writes its share of every block: the files are alike but for the values' digits,
# every block, header, caption line, node and element number in its place.
skeleton() { sed -E 's/-?[0-9]\.[0-9]+e[-+][0-9]+/v/g' "$1"; }
cmp -s <(skeleton one.out) <(skeleton two.out) || { diff <(skeleton one.out) <(skeleton two.out) | head; fail "two processes do not write one process's blocks and numbers"; }
[ -f bar.pvtu ] && [ -f bar_p1.vtu ] && [ ! -f bar.vtu ] || fail "two processes do not write the VTK grid in pieces"
python3 "$here/same_vtu.py" one.vtu bar.pvtu 1e-6 >/dev/null || fail "two processes do not write the VTK grid of one"
# The pieces are compact: a random numbering split in halves would put nearly every element across.
grep -Eq "work split over 2 processes: elements [0-9]+ \+ [0-9]+ \(imbalance [0-9.]+\), unknowns [0-9]+ \+ [0-9]+.*; elements across processes [0-9.]+ %, halo nodes [0-9]+ \+ [0-9]+" bar.slog ||
    fail "the log does not say how the work was split"
awk '/elements across processes/ { for (k = 1; k < NF; k++) if ($k == "processes" && $(k + 2) == "%,") share = $(k + 1) }
     END { exit !(share != "" && share + 0 < 15) }' bar.slog || { grep "work split" bar.slog; fail "the pieces are not compact"; }
SOLVER=PCG solve pcg-two.out
same one.out pcg-two.out DISP 1e-6 || fail "the iterative solver on two processes does not give the displacements of one"

# The bar also heated by another result file's temperatures, listed by the mesh's node numbers and
# stepping from node to node, so that a temperature read onto the wrong node changes the answer.
{ echo "TEMP 1"; for ((n = 1; n <= nodes; n++)); do echo "$n $((20 + n % 7 * 10))"; done; } >hot.out
sed -i "s|^LOADS\$|LOADS\nt $work/hot.out|" bar.txt
solve hot-two.out
"$register" --solver-processes 1
solve hot-one.out
same hot-one.out hot-two.out || fail "two processes do not read the temperature file as one"
cmp -s <(skeleton hot-one.out) <(skeleton hot-two.out) || fail "two processes do not write the heated bar's blocks as one"
sed -i '/^t /d' bar.txt

# The same bar pressed onto a rigid plane through a touching gap on its end, on rollers: contact
# in load steps, and its reaction table, on two processes as on one.
sed -i 's/^bor 1 0 0 0$/bor 3 1 0 1\nbor 5 1 1 0/; s/^CONSTRAINTS$/CONSTRAINTS\nbog 1 -1,0,0,0/' bar.txt
"$register" --solver-processes 1
solve gap-one.out
"$register" --solver-processes 2
solve gap-two.out
grep -q "(solver MF, 2 processes)" bar.slog || fail "the contact run was not on two processes"
same gap-one.out gap-two.out || fail "two processes do not give the contact displacements of one"
cmp -s <(skeleton gap-one.out) <(skeleton gap-two.out) || fail "two processes do not write the contact run's blocks as one"
awk '/gap to plane on face 1: \(/ { found = 1 }
     /reactions and loads balance to/ { b = $(NF - 3) }
     END { exit !(found && b != "" && b + 0 < 1e-6) }' bar.slog || { cat bar.slog; fail "the contact run's reactions do not balance"; }

# A cavity of water under a moving lid, on one process and on two, by both solvers.
"$boxmesh" cavity.meb 3 3 3 1 1 1 >/dev/null
printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=8 1e-06 0 0\nMODEL\ncavity.stp\nMFILE\n%s\nSOLVE\n0,0,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1  1e-06,1e-09,0.6,4180,0.0002\nESIZE\nLOADS\nbol 4 3 100*x*(1-x), 0, 0\nRESTRAINTS\nbor 1 0 0 0\nbor 2 0 0 0\nbor 3 0 0 0\nbor 5 0 0 0\nbor 6 0 0 0\nCONSTRAINTS\n' \
    "$work/cavity.meb" >bar.txt
for SOLVER in MF PCG; do
    "$register" --solver-processes 1
    solve flow-one.out
    "$register" --solver-processes 2
    solve flow-two.out
    grep -q "(solver $SOLVER, 2 processes)" bar.slog || fail "the $SOLVER flow run was not on two processes"
    grep -q "work split over 2 processes: elements" bar.slog || fail "the $SOLVER flow run does not say how its work was split"
    same flow-one.out flow-two.out VELO "$([ "$SOLVER" = MF ] && echo 1e-8 || echo 1e-6)" || fail "two processes do not give the flow of one ($SOLVER)"
done
unset SOLVER

# Steady air through a channel from a total-pressure inlet to a lower static pressure, its nodes
# numbered at random, its pseudo-time steps split over two processes (each its own residual and
# Jacobian rows, block Jacobi instead of ILU): the converged state within the steady tolerance of
# one process's, at the mesh's node numbers, the pieces crossed by under 10 % of the dual faces.
"$boxmesh" cavity.meb 12 3 3 60 15 15 linear scramble 5 >/dev/null
printf 'HEADER\n0.001 mm scale=1 nod=4 elem=0 ana=9 1e-06 0 0\nMODEL\nchannel.stp\nMFILE\n%s\nSOLVE\n400,0,0,0,0,0\nTABLES\nMSET\nMATERIALS\n1 1.2,0,0,1004.675,0,1.4,287.05\nESIZE\nLOADS\nil 0.092, 20\nbol 1 4 0.1, 20\nbol 2 1 0.092\nRESTRAINTS\nbor 3 0 0 0\nbor 4 0 0 0\nbor 5 0 0 0\nbor 6 0 0 0\nCONSTRAINTS\n' \
    "$work/cavity.meb" >bar.txt
"$register" --solver-processes 1
solve gas-one.out
"$register" --solver-processes 2
solve gas-two.out
grep -q "the flow converged in" bar.slog || { cat bar.slog; fail "the gas run on two processes did not converge"; }
grep -q "work split over 2 processes: the pseudo-time steps' residual, Jacobian and linear solves by control volumes [0-9]* + [0-9]* (dual faces across processes [0-9]\.[0-9] %" bar.slog ||
    fail "the gas run does not say how its work was split"
same gas-one.out gas-two.out VELO 1e-5 || fail "two processes do not give the gas flow of one"

# The same channel stepped explicitly, the TS on a vector split by the pieces: their numbering
# sums each row's fluxes in another order, so the fields agree to rounding, inside the digits printed.
sed -i 's/^400,0,0,0,0,0$/0,4,2e-05,4,0,0/' bar.txt
for n in 1 2; do
    "$register" --solver-processes $n
    solve gas-$n.out
done
grep -q "work split over 2 processes: the explicit steps' residual and TS vectors by control volumes" bar.slog ||
    fail "the transient gas run does not say how its work was split"
for block in VELO PRES TEMP DENS MACH VORT; do
    same gas-1.out gas-2.out $block 1e-8 || fail "two processes do not step the gas flow's $block as one does"
done

# The system's programs without mpiexec (the one-process start of MPI needs the others).
mkdir nompi
ln -s /usr/bin/* nompi/
rm nompi/mpiexec
solve alone.out PATH="$work/nompi"
grep -q "mpiexec cannot be started" bar.slog || fail "a missing mpiexec is not reported"
grep -q "(solver MF, 1 process)" bar.slog || fail "without mpiexec the run did not go on in one process"

# A host file mpiexec refuses (one machine given its slots twice): the processes never start, so
# the run goes on in one process, its log says why, and the answer is one process's.
printf 'localhost slots=1\nlocalhost slots=1\n' >refused.hosts
"$register" --solver-processes 2 --host-file "$work/refused.hosts"
solve refused.out 2>/dev/null
grep -q "mpiexec could not start the 2 solver processes (exit status [1-9][0-9]*: .*): solving on one process" bar.slog ||
    { cat bar.slog; fail "a host file mpiexec refuses is not reported"; }
grep -q "(solver MF, 1 process)" bar.slog || fail "after mpiexec failed the run did not go on in one process"
same alone.out refused.out VELO || fail "the run after mpiexec failed does not give the answer of one process"

! "$register" --solver-processes two 2>/dev/null || fail "a count that is not a number was stored"
! "$register" --solver-processes 2 --host-file "$work/none" 2>/dev/null || fail "a missing host file was stored"
echo "solver processes: ok"
