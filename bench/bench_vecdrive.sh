#!/usr/bin/env bash
# vecdrive on a generated vector table: its time against its own scanner
# alone (vecdrive_scanonly, which reads the same table and does nothing with
# the tokens), and its peak memory at 10,000 and 1,000,000 rows, which must
# stay flat: rows are written as they are read.
#
#   BIN=build/bin bash bench/bench_vecdrive.sh
#
# The table comes from gen_table.py --common, the generator the converters'
# benchmarks share.  The memory file and module go to /dev/null, so the
# figures cover reading, parsing and formatting, not the disk.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
BIN=${BIN:-$here/../build/bin}
GEN=${GEN:-$here/gen_table.py}
RUNS=${RUNS:-5}
work=$(mktemp -d /tmp/bench_vecdrive.XXXXXX)
trap 'rm -rf "$work"' EXIT

[ -f "$GEN" ] || { echo "no table generator at $GEN" >&2; exit 1; }
for rows in 10000 1000000; do
  python3 "$GEN" --common "$rows" >"$work/t$rows.tab"
done
big=$work/t1000000.tab
echo "table: 1,000,000 rows, $(($(stat -c %s "$big") / 1000000)) MB"

# vecdrive stops at a first row whose fields do not match the header (each
# field needs exactly the hexadecimal digits of its signal); a benchmark of
# that would measure nothing.
if ! "$BIN/vecdrive" -o /dev/null "$work/t10000.tab" >/dev/null 2>"$work/err"; then
  echo "vecdrive rejects the generated table:" >&2
  cat "$work/err" >&2
  exit 1
fi

hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$work/times.json" \
  -n vecdrive "$BIN/vecdrive -o /dev/null $big >/dev/null" \
  -n scanner "$BIN/vecdrive_scanonly $big >/dev/null"
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print("vecdrive / scanner alone: %.2f (aim: 4 or less)" % (r["vecdrive"] / r["scanner"]))
PY

for rows in 10000 1000000; do
  /usr/bin/time -f "%M" -o "$work/mem" "$BIN/vecdrive" -o /dev/null "$work/t$rows.tab" >/dev/null
  echo "peak memory at $rows rows: $(cat "$work/mem") KB"
done
