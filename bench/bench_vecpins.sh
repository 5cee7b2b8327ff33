#!/usr/bin/env bash
# vecpins on a generated vector table: run time against its own scanner
# alone (vecpins_scanonly) on the same table, and peak memory at two table
# sizes, which should stay flat since rows go to the table file as they end.
#
#   BIN=build/bin bench/bench_vecpins.sh
#
# ROWS (default 1000000) sets the size of the timed table; GEN may name
# another table generator with the interface of bench/gen_table.py.
set -euo pipefail
BIN=${BIN:?set BIN to the folder of the built executables}
here=$(cd "$(dirname "$0")" && pwd)
GEN=${GEN:-$here/gen_table.py}
ROWS=${ROWS:-1000000}

work=$(mktemp -d /tmp/bench_vecpins.XXXXXX)
trap 'rm -rf "$work"' EXIT

for rows in 10000 "$ROWS"; do
  python3 "$GEN" --common "$rows" >"$work/t$rows.tab"
done
big=$work/t$ROWS.tab
echo "table: $ROWS rows, $(wc -c <"$big") bytes"

hyperfine --warmup 1 --runs 5 --export-json "$work/times.json" \
  -n scanner "$BIN/vecpins_scanonly $big" \
  -n vecpins "$BIN/vecpins -o $work/out.tbl $big"

python3 - "$work/times.json" <<'PY'
import json, sys
res = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
wall = res["vecpins"]["mean"] / res["scanner"]["mean"]
cpu = lambda r: r["user"] + r["system"]
# CPU time is steadier than wall time on a shared machine.
print(f"vecpins / scanner alone: {wall:.2f} wall, "
      f"{cpu(res['vecpins']) / cpu(res['scanner']):.2f} CPU (aim: 4 or less)")
PY

for rows in 10000 "$ROWS"; do
  /usr/bin/time -f "%M" -o "$work/mem" \
    "$BIN/vecpins" -o "$work/out.tbl" "$work/t$rows.tab" >/dev/null
  echo "peak memory at $rows rows: $(cat "$work/mem") KB"
done
