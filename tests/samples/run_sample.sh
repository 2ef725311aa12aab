#!/usr/bin/env bash
# Runs one sample session script in the stand-in host as a user would, in a scratch folder with
# settings of its own, and fails when the script fails or stops early (a program it needs is not
# installed). usage: run_sample.sh HOST SCRIPT
set -euo pipefail
host=$1 script=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export KOLVANE_CONFIG_DIR="$out/settings"
if ! "$host" --script "$script" --out "$out" >"$out/session.log" 2>"$out/errors.log"; then
  cat "$out/session.log" "$out/errors.log"
  exit 1
fi
if grep -q '^stopped at ' "$out/session.log"; then
  cat "$out/session.log"
  echo "run_sample: $script stopped before its end" >&2
  exit 1
fi
