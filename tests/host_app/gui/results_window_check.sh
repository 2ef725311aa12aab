#!/usr/bin/env bash
# Checks what a GUI run of results_window.run printed: one page holding one picture of the main
# window's size at half size at the top left (the main window does not fit the landscape page at
# full size); prints the results window's frame rate.
# usage: results_window_check.sh OUT SESSION-LOG   (as gui_run.sh --then calls it)
set -euo pipefail
out=$1 log=$2
grep '^frame rate: ' "$log"

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
