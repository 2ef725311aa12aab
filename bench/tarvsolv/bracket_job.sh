# The static job the growth and process benches solve, sourced by both: the sample bracket (base
# held on its underside, 10 N/mm2 on the back of the upright), steel, quadratic.
# bracket_setup BUILD: checks the programs, sets tarvsolv, velgrin, faces and work (a folder of its
# own, removed at exit unless BENCH_KEEP is set) and builds the sample parts in it.
# bracket_input SIZE: the job $work/job.txt at element size SIZE, for velgrin; bracket_faces SIZE
# then adds its held and loaded faces, for tarvsolv; bracket_mesh SIZE meshes it by velgrin
# (the log in $work/mesh.log, shown when velgrin fails).

bracket_setup() {
    tarvsolv=$1/tarvdir/tarvsolv
    velgrin=$1/tarvdir/velgrin
    local parts=$1/bin/velgrin-sample-parts
    faces=$1/bin/tarvsolv-ccx
    for program in "$tarvsolv" "$velgrin" "$parts" "$faces"; do
        [[ -x $program ]] || { echo "missing $program: build tarvsolv, velgrin, velgrin-sample-parts and tarvsolv-ccx first"; exit 1; }
    done
    command -v mpiexec >/dev/null || { echo "mpiexec is missing (Debian package openmpi-bin)"; exit 1; }
    export OPENBLAS_NUM_THREADS=1 OMP_NUM_THREADS=1
    work=$(mktemp -d)
    # Settings of their own, so that the solver does not start itself under mpiexec from the
    # user's: the benches start mpiexec themselves.
    export KOLVANE_CONFIG_DIR=$work/config
    trap '[[ -n ${BENCH_KEEP:-} ]] || rm -rf "$work"' EXIT
    "$parts" "$work" >/dev/null
    if [[ $(id -u) == 0 ]]; then export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1; fi
}

bracket_input() {  # size [fixed face] [loaded face]
    printf 'HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0 1e-06 0 0\nMODEL\n%s\nMFILE\n%s\nSOLVE\n0,0,0,0,0\nTABLES\nMSET\n %s 0 0.5 0.25 0 0 0 1 1 1 0\nMATERIALS\n1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0\nESIZE\nLOADS\n%s\nRESTRAINTS\n%s\nCONSTRAINTS\n' \
        "$work/bracket.step" "$work/job.meb" "$1" "${3:+bol $3 1 10}" "${2:+bor $2 0 0 0}" >"$work/job.txt"
}

bracket_mesh() {  # size
    bracket_input "$1"
    "$velgrin" "$work/job.txt" 0 >"$work/mesh.log" 2>&1 || { cat "$work/mesh.log"; exit 1; }
}

# Writes the job again with its held and loaded faces, once the mesh (and its companion file) is
# there: the held face looks down (-z) from z = 0, the loaded one is the largest looking back (-x)
# from x = 0.
bracket_faces() {  # size
    local fixed loaded
    fixed=$("$faces" faces "$work/job.txt" | awk '$9 < -0.99 && $6 < 1e-6 { print $1 }' | head -1)
    loaded=$("$faces" faces "$work/job.txt" | awk '$7 < -0.99 && $4 < 1e-6 && $3 > best { best = $3; face = $1 } END { print face }')
    bracket_input "$1" "$fixed" "$loaded"
}

# The unknowns of the mesh: three a node.
bracket_unknowns() { echo $((3 * $(head -c 4 "$work/job.meb" | od -An -tu4 | tr -d ' '))); }
