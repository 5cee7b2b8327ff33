#!/usr/bin/env bash
# Simulates the accumulator acc8 against the vectors of acc8.tab:
# vecdrive writes the module `driver` and its memory file, Icarus Verilog
# compiles both with the device and the test bench, and vvp runs them with
# the vecdrive plug-in.  BIN names the folder of the vecdrive executable;
# the plug-in is looked for in ../lib beside it (the build tree) or in
# VPI_DIR.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
BIN=${BIN:-$here/../../build/bin}
VPI_DIR=${VPI_DIR:-$BIN/../lib}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$BIN/vecdrive" -o "$work/acc8.mem" "$here/acc8.tab" >"$work/driver.v"
echo "memory file:"
cat "$work/acc8.mem"
iverilog -L "$VPI_DIR" -m vecdrive -o "$work/sim.vvp" \
  "$here/top.v" "$here/acc8.v" "$work/driver.v"
vvp -n -M "$VPI_DIR" -m vecdrive "$work/sim.vvp" "+mem=$work/acc8.mem" | tee "$work/sim.log"
grep -q "number of errors: *0$" "$work/sim.log"
