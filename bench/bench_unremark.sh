#!/usr/bin/env bash
# Times unremark against cat on the same generated C-like source of 200 MB
# (SIZE_MB to change it), both writing to /dev/null and both writing to a
# file, and prints unremark's time as a multiple of cat's.  Also prints the
# peak memory of one run, which stays the same whatever the input size.
#
#   BIN=build/bin bash bench/bench_unremark.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${BIN:-$here/../build/bin}" && pwd)
size=${SIZE_MB:-200}
runs=${RUNS:-5}
work=$(mktemp -d /tmp/bench_unremark.XXXXXX)
trap 'rm -rf "$work"' EXIT

src=$work/source.c
python3 "$here/gen_csource.py" "$src" "$size"
# The source must filter cleanly, or the timings would measure an early end.
"$bin/unremark" <"$src" >"$work/out.c"
echo "input: $(wc -c <"$src") bytes, output: $(wc -c <"$work/out.c") bytes"

# compare LABEL SINK: times both programs writing to SINK.
compare() {
  hyperfine --warmup 1 --runs "$runs" --style basic --export-json "$work/times.json" \
    -n cat "cat <'$src' >$2" \
    -n unremark "'$bin/unremark' <'$src' >$2" >/dev/null
  python3 - "$work/times.json" "$1" <<'PY'
import json, sys
times = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
cat, unremark = times["cat"], times["unremark"]
print(f"{sys.argv[2]:<14} cat {cat['mean'] * 1000:7.1f} ms ± {cat['stddev'] * 1000:4.1f}   "
      f"unremark {unremark['mean'] * 1000:7.1f} ms ± {unremark['stddev'] * 1000:4.1f}   "
      f"ratio {unremark['mean'] / cat['mean']:.2f}")
PY
}

compare "to /dev/null" /dev/null
compare "to a file" "'$work/sink.c'"

if [ -x /usr/bin/time ]; then
  peak=$( { /usr/bin/time -f '%M' "$bin/unremark" <"$src" >/dev/null; } 2>&1)
  echo "peak memory of unremark: $peak KiB"
fi
