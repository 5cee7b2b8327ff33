#!/usr/bin/env bash
# Replaces the saved corpus of TARGET by a minimal set covering the same
# edges as the corpus plus the queue of the last campaign (fuzz/out).
#
#   fuzz/minimize.sh TARGET
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
. "$here/targets.sh"
target=$1
target_info "$target"
bin=${FUZZ_BUILD:-$top/build-fuzz}/bin/$TOOL

# afl-cmin refuses to work under /tmp: the pool lives beside the campaigns.
pool=$here/out/$target.pool
rm -rf "$pool" "$pool.min"
mkdir -p "$pool"
trap 'rm -rf "$pool" "$pool.min"' EXIT
cp "$here/corpus/$target"/* "$pool/" 2>/dev/null || true
cp "$here/out/$target"/default/queue/id* "$pool/" 2>/dev/null || true
env "${AFL_ENV[@]}" AFL_SKIP_CPUFREQ=1 afl-cmin -i "$pool" -o "$pool.min" -m none -t 2000 \
  -- "$bin" "${AFL_INPUT[@]}" >/dev/null
rm -rf "$here/corpus/$target"
mkdir -p "$here/corpus/$target"
for f in "$pool.min"/*; do
  cp "$f" "$here/corpus/$target/$(sha1sum <"$f" | cut -c1-12)"
done
echo "$target: $(ls "$here/corpus/$target" | wc -l) inputs kept"
