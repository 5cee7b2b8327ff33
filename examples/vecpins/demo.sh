#!/usr/bin/env bash
# Converts counter.tab into a tester program (counter.prg) and the table
# file it reads (counter.tbl), with the clock times scaled by 2.
set -euo pipefail
BIN=${BIN:-$(cd "$(dirname "$0")/../../build/bin" && pwd)}
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cd "$out"
"$BIN/vecpins" -s 2 -o counter.tbl "$here/counter.tab" >counter.prg
echo "--- counter.tbl (table file)"
cat counter.tbl
echo "--- counter.prg (tester program)"
cat counter.prg
