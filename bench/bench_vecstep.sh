#!/usr/bin/env bash
# vecstep on a generated vector table: run time against its own scanner
# alone (vecstep_scanonly, the floor that the scanner sets) on the same
# table, input and script sizes, and peak memory at two table sizes, which
# should be the same since rows are expanded as they are read.
#
#   BIN=build/bin bench/bench_vecstep.sh
#
# ROWS (default 1000000) sets the size of the timed table.
set -euo pipefail
BIN=${BIN:?set BIN to the folder of the built executables}
here=$(cd "$(dirname "$0")" && pwd)
ROWS=${ROWS:-1000000}

work=$(mktemp -d /tmp/bench_vecstep.XXXXXX)
trap 'rm -rf "$work"' EXIT

for rows in 10000 "$ROWS"; do
  python3 "$here/gen_table.py" "$rows" >"$work/t$rows.tab"
done
big=$work/t$ROWS.tab

hyperfine --warmup 1 --runs 3 --export-json "$work/times.json" \
  -n scanner "$BIN/vecstep_scanonly $big" \
  -n vecstep "$BIN/vecstep -o $work/out.sim $big"

python3 - "$work/times.json" <<'PY'
import json, sys
res = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
wall = res["vecstep"]["mean"] / res["scanner"]["mean"]
cpu = lambda r: r["user"] + r["system"]
# CPU time is steadier than wall time on a shared machine.
print(f"vecstep / scanner alone: {wall:.2f} wall, "
      f"{cpu(res['vecstep']) / cpu(res['scanner']):.2f} CPU (aim: 4 or less)")
PY

for rows in 10000 "$ROWS"; do
  /usr/bin/time -f "%M" -o "$work/mem" \
    "$BIN/vecstep" -o "$work/out$rows.sim" "$work/t$rows.tab"
  echo "$rows rows: table $(wc -c <"$work/t$rows.tab") bytes," \
    "script $(wc -c <"$work/out$rows.sim") bytes, peak memory $(cat "$work/mem") KB"
  rm -f "$work/out$rows.sim"
done
