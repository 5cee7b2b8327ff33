#!/usr/bin/env bash
# Converts fifo.tab into a switch-level simulator script (fifo.sim), then
# shows the same table sampled the way Verilog does (-v) on standard error,
# without the echoed comments (-c).
set -euo pipefail
BIN=${BIN:-$(cd "$(dirname "$0")/../../build/bin" && pwd)}
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cd "$out"
"$BIN/vecstep" -o fifo.sim "$here/fifo.tab"
echo "--- fifo.sim"
cat fifo.sim
echo "--- vecstep -v -c (script on standard error)"
"$BIN/vecstep" -v -c "$here/fifo.tab" 2>&1
