#!/usr/bin/env bash
# The disk tools at work: byte and LBA conversions on the zone table, then
# the check codes of small master data images written for the occasion.
#
#   BIN=build/bin examples/disktools/demo.sh
set -euo pipefail
BIN=$(cd "${BIN:?set BIN to the folder of the built programs}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$BIN:$PATH"
cd "$work"
run() { # shows a command, its output and, when not 0, its exit status
    echo "\$ $*"
    local status=0
    "$@" 2>&1 || status=$?
    [ "$status" = 0 ] || echo "(exit status $status)"
}

echo "## How many LBAs from LBA 100 hold a 1 MiB file on a type-3 disk?"
run sz2blk 3 100 1048576
echo "## And how many bytes do those LBAs hold?"
run blk2sz 3 100 "$(sz2blk 3 100 1048576)"
echo "## The inner zones differ by type: the last LBA of each type"
for type in 0 1 2 3 4 5 6; do run blk2sz "$type" 4291 1; done
echo "## Requests past the end of the disk are refused"
run sz2blk 6 4200 2000000
run blk2sz 6 4200 100

echo "## A master image: type-2 disk, ROM area LBAs 0-9, RAM area LBAs 2000-2004"
mk() { python3 "$root/disktools/mkmaster.py" "$@"; }
mk master.mrv --type 2 --rom-end 9 --ram 2000 2004 --fill random --seed 42
echo "image size: $(stat -c %s master.mrv) bytes" \
    "= 512 + $(blk2sz 2 0 10) + $(blk2sz 2 2000 5)"
run tccsum
echo "## Without a RAM area (the first block changes, and with it the ROM TCC)"
mk rom-only.mrv --type 2 --rom-end 9 --no-ram --fill random --seed 42
run tccsum rom-only.mrv
echo "## An image cut short inside its RAM area prints no check code at all"
mk cut.mrv --type 2 --rom-end 9 --ram 2000 2004 --fill random --seed 42 \
    --truncate 200000
run tccsum cut.mrv
