#!/usr/bin/env bash
# Writes the benchmark's master data image: a first block, a ROM area of a
# whole disk (LBA 0 to 4291) and a RAM area of a whole disk, random bytes,
# 128.9 MB in all.
#
#   gen_master_image.sh OUT [BLK2SZ]
#
# BLK2SZ is the blk2sz program that sizes the areas (default: from PATH).
set -euo pipefail
out=${1:?usage: gen_master_image.sh OUT [BLK2SZ]}
blk2sz=${2:-blk2sz}
root=$(cd "$(dirname "$0")/.." && pwd)
python3 "$root/disktools/mkmaster.py" "$out" --type 3 --rom-end 4291 --ram 0 4291 \
    --fill random --seed 128 --blk2sz "$blk2sz"
