#!/usr/bin/env bash
# Runs one fuzzing campaign of TARGET for SECONDS with AFL++ on the
# instrumented sanitizer build (make fuzz-build), starting from the saved
# corpus.  New crashes and hangs are copied to fuzz/findings/TARGET/.
#
#   fuzz/run.sh TARGET SECONDS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
. "$here/targets.sh"

[ $# -eq 2 ] || { echo "usage: fuzz/run.sh TARGET SECONDS (targets: $FUZZ_TARGETS)" >&2; exit 2; }
target=$1 seconds=$2
target_info "$target"

bin=${FUZZ_BUILD:-$top/build-fuzz}/bin/$TOOL
[ -x "$bin" ] || { echo "no $bin: run 'make fuzz-build' first" >&2; exit 2; }
corpus=$here/corpus/$target
[ -d "$corpus" ] && [ -n "$(ls -A "$corpus")" ] || { echo "no seeds in $corpus" >&2; exit 2; }

out=$here/out/$target
rm -rf "$out"
mkdir -p "$out"

dict=()
case $TOOL in vec*) dict=(-x "$here/vectab.dict") ;; sz2blk) dict=(-x "$here/sz2blk.dict") ;; esac

# The machine may not be set up for fuzzing (CPU governor, core pattern):
# these only cost speed or crash detection latency, not correctness.
env "${AFL_ENV[@]}" AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
  AFL_NO_UI=1 AFL_QUIET=1 AFL_NO_AFFINITY=1 \
  afl-fuzz -i "$corpus" -o "$out" "${dict[@]}" -m none -t 2000 -V "$seconds" \
  -- "$bin" "${AFL_INPUT[@]}" >"$out/afl.log" 2>&1 || {
  echo "afl-fuzz failed; the end of its log:" >&2
  tail -n 20 "$out/afl.log" >&2
  exit 1
}

stats=$out/default/fuzzer_stats
get() { sed -n "s/^$1 *: *//p" "$stats"; }
echo "$target: $(get run_time)s, $(get execs_done) execs, edges $(get edges_found)/$(get total_edges)" \
  "($(get bitmap_cvg)), corpus $(get corpus_count), crashes $(get saved_crashes), hangs $(get saved_hangs)"

findings=$here/findings/$target
saved=0
for kind in crashes hangs; do
  for f in "$out"/default/$kind/id*; do
    [ -e "$f" ] || continue
    mkdir -p "$findings"
    cp "$f" "$findings/$kind-$(sha1sum <"$f" | cut -c1-12)"
    saved=$((saved + 1))
  done
done
[ "$saved" -eq 0 ] || echo "$target: $saved new findings saved in $findings"
exit 0
