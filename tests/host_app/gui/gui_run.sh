#!/usr/bin/env bash
# Runs a session script in the stand-in host's real windows, on an X server of its own (Xvfb), and
# fails when the script fails. With FILES, the script runs headless first in the same folder, and
# each file (a path inside the output folder) must come out of both runs byte for byte the same.
# With "--against OTHER FILE...", OTHER also runs headless, and each of those files must come out of
# it and the GUI run the same (a script that picks by clicking against one that selects).
# With "--then CHECK", CHECK runs after the GUI run with its output folder and its printed log.
# The screenshots the GUI run takes are kept in $KOLVANE_SCREENSHOTS when it is set.
# usage: gui_run.sh HOST SCRIPT [--then CHECK] [FILE...] [--against OTHER FILE...]
set -euo pipefail
host=$1 script=$2
shift 2
files=() against="" against_files=() then=""
while (($#)); do
  if [[ $1 == --then ]]; then
    then=$2
    shift 2
    continue
  fi
  if [[ $1 == --against ]]; then
    against=$2
    shift 2
    against_files=("$@")
    break
  fi
  files+=("$1")
  shift
done
set -- "${files[@]}"
xvfb_session=$(cd "$(dirname "$0")/../../.." && pwd)/scripts/xvfb-session
if ! command -v Xvfb >/dev/null; then
  echo "gui_run: no Xvfb here: the GUI cannot be tried (install xvfb)"
  exit 77
fi
scratch=$(mktemp -d)
out="$scratch/out"
finish() {
  if [[ -n "${KOLVANE_SCREENSHOTS:-}" && -d "$out" ]]; then
    mkdir -p "$KOLVANE_SCREENSHOTS"
    find "$out" -maxdepth 1 -name '*.png' -exec cp {} "$KOLVANE_SCREENSHOTS/" \;
  fi
  rm -rf "$scratch"
}
trap finish EXIT

run() {  # run MODE-ARGS...: one run of $script in $out with fresh settings
  export KOLVANE_CONFIG_DIR="$out/settings"
  local status attempt
  # Status 2 is a window system that could not be reached (an X server that did not start): the
  # run is tried again.
  for attempt in 1 2 3; do
    status=0
    rm -rf "$out"
    "$@" --script "$script" --out "$out" >"$scratch/session.log" 2>"$scratch/errors.log" || status=$?
    ((status == 2)) || break
    sleep $((attempt * 2))
  done
  if ((status != 0)); then
    cat "$scratch/session.log" "$scratch/errors.log"
    echo "gui_run: $* --script $script failed" >&2
    exit 1
  fi
  if grep -q '^stopped at ' "$scratch/session.log"; then
    cat "$scratch/session.log"
    echo "gui_run: $script stopped before its end" >&2
    exit 1
  fi
}

if (($#)); then
  run "$host"
  mv "$out" "$scratch/headless"
fi
if [[ -n $against ]]; then
  mine=$script script=$against
  run "$host"
  mv "$out" "$scratch/against"
  script=$mine
fi
run "$xvfb_session" "$host" --gui
grep -v '^$' "$scratch/session.log" | grep -v 'Gtk-WARNING' | tail -n 3
same() {  # same FOLDER WHICH FILE...: each file of FOLDER is the GUI run's, byte for byte
  local folder=$1 which=$2 file
  shift 2
  for file in "$@"; do
    cmp "$folder/$file" "$out/$file" || {
      echo "gui_run: $file differs between $which and the GUI run" >&2
      exit 1
    }
  done
}
same "$scratch/headless" "the headless run" "$@"
[[ -z $against ]] || same "$scratch/against" "the headless run of $against" "${against_files[@]}"
if [[ -n $then ]]; then
  bash "$then" "$out" "$scratch/session.log"
fi
