#!/usr/bin/env bash
# Runs one sample session script in the stand-in host as a user would, in a scratch folder with
# settings of its own, and fails when the script fails, stops early (a program it needs is not
# installed) or when it shows a message it does not expect: a new user's first run shows none.
# usage: run_sample.sh HOST SCRIPT
set -euo pipefail
host=$1 script=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export KOLVANE_CONFIG_DIR="$out/settings"
session_log="$out/session.log"
if ! "$host" --script "$script" --out "$out" >"$session_log" 2>"$out/errors.log"; then
  cat "$session_log" "$out/errors.log"
  exit 1
fi
if grep -q '^stopped at ' "$session_log"; then
  cat "$session_log"
  echo "run_sample: $script stopped before its end" >&2
  exit 1
fi
if ! grep -q '^[[:space:]]*expect-message' "$script" && grep -q '^message: ' "$session_log"; then
  grep '^message: ' "$session_log" >&2
  echo "run_sample: $script showed a message it does not expect" >&2
  exit 1
fi
