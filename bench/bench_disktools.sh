#!/usr/bin/env bash
# Speed of the disk tools, each against a baseline measured in the same run:
#  - tccsum over a 128.9 MB master image in the page cache, against
#    `cat image > /dev/null` (reading the same bytes and nothing else);
#  - 1,000 sz2blk invocations against 1,000 invocations of /bin/true
#    (start-up cost: the zone table is static data, nothing is computed).
# Also the peak memory of tccsum on a small and on the large image, which
# must not grow with the image.  Prints each ratio and the load average,
# since the machine may be shared.
#
#   BIN=build/bin bench/bench_disktools.sh
set -euo pipefail
BIN=$(cd "${BIN:?set BIN to the folder of the built programs}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/bench_disktools.XXXXXX)
trap 'rm -rf "$work"' EXIT

image=$work/master.mrv
bash "$here/gen_master_image.sh" "$image" "$BIN/blk2sz"
small=$work/small.mrv
python3 "$here/../disktools/mkmaster.py" "$small" --type 0 --rom-end 0 --no-ram \
    --blk2sz "$BIN/blk2sz"
cat "$image" >/dev/null # into the page cache

mean() { # JSON-FILE INDEX [KEYS]: mean seconds of one command, wall clock or
    # the sum of the named keys ("user system": processor time)
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]
print(sum(r[k] for k in sys.argv[3].split()))' "$1" "$2" "${3:-mean}"
}
ratio() { python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"; }

echo "image: $(stat -c %s "$image") bytes; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --style basic --warmup 2 --runs 10 --export-json "$work/tcc.json" \
    "$BIN/tccsum $image" "cat $image"
tcc=$(mean "$work/tcc.json" 0)
cat_=$(mean "$work/tcc.json" 1)
echo "tccsum / cat = $(ratio "$tcc" "$cat_") (aim: 2 or less)"
echo "tccsum / cat, processor time (user + system) = $(ratio "$(mean "$work/tcc.json" 0 "user system")" "$(mean "$work/tcc.json" 1 "user system")")"

loop='for i in $(seq 1000); do %s 0 100 1000000 >/dev/null; done'
# shellcheck disable=SC2059
hyperfine --style basic --warmup 1 --runs 3 --export-json "$work/start.json" \
    "bash -c '$(printf "$loop" "$BIN/sz2blk")'" "bash -c '$(printf "$loop" /bin/true)'"
sz=$(mean "$work/start.json" 0)
tru=$(mean "$work/start.json" 1)
echo "1,000 x sz2blk / 1,000 x /bin/true = $(ratio "$sz" "$tru") (aim: 1.5 or less)"

for f in "$small" "$image"; do
    rss=$(/usr/bin/time -f %M "$BIN/tccsum" "$f" 2>&1 >/dev/null | tail -n 1)
    echo "tccsum peak memory on $(stat -c %s "$f") bytes: $rss KB"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
