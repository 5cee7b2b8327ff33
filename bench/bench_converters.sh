#!/usr/bin/env bash
# The three converters on generated vector tables: each one's run time
# against its own scanner alone (TOOL_scanonly reads the same table and only
# calls the scanner: the floor that the scanner sets), the input and output
# sizes, and peak memory at 10,000 rows and at ROWS rows, which should be
# the same since rows are converted as they are read.
#
#   BIN=build/bin bench/bench_converters.sh [vecstep|vecdrive|vecpins ...]
#
# ROWS (default 1000000, about 190 MB of table) sets the size of the timed
# table; RUNS (default 3) the timed runs of each command.  vecstep reads a
# table of its own dialect (slow-clock signals among them); vecdrive and
# vecpins read the same table in the form all three accept.
set -euo pipefail
BIN=${BIN:?set BIN to the folder of the built executables}
here=$(cd "$(dirname "$0")" && pwd)
ROWS=${ROWS:-1000000}
RUNS=${RUNS:-3}
tools=("$@")
[ ${#tools[@]} -gt 0 ] || tools=(vecstep vecdrive vecpins)

work=$(mktemp -d /tmp/bench_converters.XXXXXX)
trap 'rm -rf "$work"' EXIT

table() { # DIALECT ROWS: the path of a generated table, made once
  local file=$work/$1-$2.tab
  if [ ! -f "$file" ]; then
    local flag=
    [ "$1" = common ] && flag=--common
    python3 "$here/gen_table.py" $flag "$2" >"$file"
  fi
  echo "$file"
}

for tool in "${tools[@]}"; do
  dialect=common
  [ "$tool" = vecstep ] && dialect=vecstep
  small=$(table $dialect 10000)
  big=$(table $dialect "$ROWS")
  echo "--- $tool: $ROWS rows, table of $(wc -c <"$big") bytes"

  # A table the converter refuses would time nothing.
  if ! "$BIN/$tool" -o "$work/out" "$small" >/dev/null 2>"$work/err"; then
    echo "$tool refuses the generated table:" >&2
    head -5 "$work/err" >&2
    exit 1
  fi

  hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$work/times.json" \
    -n scanner "$BIN/${tool}_scanonly $big" \
    -n "$tool" "$BIN/$tool -o $work/out $big >$work/stdout" >/dev/null
  python3 - "$work/times.json" "$tool" <<'PY'
import json, sys
res = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
tool = sys.argv[2]
cpu = lambda r: r["user"] + r["system"]
# CPU time is steadier than wall time on a shared machine.
print(f"{tool}: {res[tool]['mean']:.2f} s, scanner alone {res['scanner']['mean']:.2f} s; "
      f"ratio {res[tool]['mean'] / res['scanner']['mean']:.2f} wall, "
      f"{cpu(res[tool]) / cpu(res['scanner']):.2f} CPU (aim: 4 or less)")
PY
  echo "output: $(wc -c <"$work/out") bytes (-o file), $(wc -c <"$work/stdout") bytes (standard output)"

  for rows in 10000 "$ROWS"; do
    /usr/bin/time -f "%M" -o "$work/mem" "$BIN/$tool" -o "$work/out" "$(table $dialect "$rows")" >/dev/null
    echo "peak memory at $rows rows: $(cat "$work/mem") KB"
  done
  rm -f "$work/out" "$work/stdout"
done
