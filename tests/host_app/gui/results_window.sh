#!/usr/bin/env bash
# Runs results_window.run in the stand-in host's real windows on an X server of its own, then checks
# what the run printed: one page holding one picture of the main window's size at half size at
# the top left (the main window does not fit the landscape page at full size), and prints the
# results window's frame rate. The screenshots are kept in $KOLVANE_SCREENSHOTS when it is set.
# usage: results_window.sh HOST SCRIPT
set -euo pipefail
host=$1 script=$2
if ! command -v xvfb-run >/dev/null; then
  echo "results_window: no xvfb-run here: the GUI cannot be tried (install xvfb)"
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

export KOLVANE_CONFIG_DIR="$out/settings"
xvfb-run -a -s "-screen 0 1280x1024x24" "$host" --gui --script "$script" --out "$out" \
  >"$scratch/session.log" 2>"$scratch/errors.log" || {
  grep -v 'Gtk-WARNING' "$scratch/session.log" "$scratch/errors.log" | grep -v '^$' | tail -n 40
  echo "results_window: the GUI run failed" >&2
  exit 1
}
grep '^frame rate: ' "$scratch/session.log"

pdf="$out/results-print.pdf"
read -r main_width main_height < <(identify -format '%w %h\n' "$out/main-printed.png")
images=$(grep -a -c '/Subtype /Image' "$pdf")
size=$(grep -a -o '/Subtype /Image /Width [0-9]* /Height [0-9]*' "$pdf" | awk '{print $4, $6}')
placement=$(grep -a -o 'q [0-9.]* 0 0 [0-9.]* [0-9.]* [0-9.]* cm /Im1 Do Q' "$pdf")
expected=$(awk -v w="$main_width" -v h="$main_height" \
  'BEGIN { printf "q %.2f 0 0 %.2f 0.00 %.2f cm /Im1 Do Q", w / 2, h / 2, 595 - h / 2 }')
if [[ $images != 1 || $size != "$main_width $main_height" || $placement != "$expected" ]]; then
  echo "results_window: the page holds $images pictures of $size placed by \"$placement\";" \
    "expected one of $main_width $main_height placed by \"$expected\"" >&2
  exit 1
fi
echo "results_window: the page holds the main window's picture ($size) at the top left, at half size"
