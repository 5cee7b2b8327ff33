#!/usr/bin/env python3
"""Writes a Morvane master data image for tests, examples and benchmarks.

The image is a 512-byte first block followed by the ROM area and, unless
--no-ram, the RAM area.  Area sizes are asked of blk2sz (the program of this
project), so the image always agrees with the zone table; an area whose LBAs
lie outside the table is written empty.

    mkmaster.py OUT [--type T] [--rom-end LBA] [--ram FIRST LAST | --no-ram]
                [--dist CODE] [--fill zero|ones|ramp|random] [--seed N]
                [--block-fill zero|random] [--truncate BYTES] [--extra BYTES]
"""
import argparse
import random
import subprocess
import sys

CHUNK = 1 << 20


def area_size(blk2sz, disk_type, first, nlbas):
    """Bytes of nlbas LBAs from first, or 0 when blk2sz refuses them."""
    if nlbas <= 0:
        return 0
    run = subprocess.run([blk2sz, str(disk_type), str(first), str(nlbas)],
                         capture_output=True, text=True, check=False)
    return int(run.stdout) if run.returncode == 0 else 0


def first_block(args, rng):
    block = bytearray(512) if args.block_fill == "zero" else bytearray(rng.randbytes(512))
    block[0:4] = bytes(4)             # marker: zero
    block[8:12] = bytes(4)            # marker: zero
    block[28:32] = b"MRV1"            # marker: not zero
    block[5] = (args.type_high << 4) | (args.type & 0x0F)
    block[224:226] = args.rom_end.to_bytes(2, "big")
    block[226:228] = args.ram[0].to_bytes(2, "big")
    block[228:230] = args.ram[1].to_bytes(2, "big")
    block[488] = args.dist
    return bytes(block)


def write_area(out, size, fill, rng):
    pattern = {"zero": b"\0", "ones": b"\xff"}.get(fill)
    ramp = bytes(range(256)) * (CHUNK // 256)
    while size > 0:
        n = min(size, CHUNK)
        if fill == "random":
            out.write(rng.randbytes(n))
        elif fill == "ramp":
            out.write(ramp[:n])
        else:
            out.write(pattern * n)
        size -= n


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("out")
    p.add_argument("--type", type=int, default=0, help="disk type, low 4 bits of byte 5")
    p.add_argument("--type-high", type=int, default=0, help="high 4 bits of byte 5")
    p.add_argument("--rom-end", type=lambda s: int(s, 0), default=0)
    p.add_argument("--ram", type=lambda s: int(s, 0), nargs=2, metavar=("FIRST", "LAST"),
                   default=[0xFFFF, 0])
    p.add_argument("--no-ram", action="store_true", help="RAM start LBA 0xFFFF")
    p.add_argument("--dist", type=int, default=0, help="distribution code (byte 488)")
    p.add_argument("--fill", choices=["zero", "ones", "ramp", "random"], default="zero")
    p.add_argument("--block-fill", choices=["zero", "random"], default="random")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--truncate", type=int, help="cut the image to this many bytes")
    p.add_argument("--extra", type=int, default=0, help="bytes to append after the areas")
    p.add_argument("--blk2sz", default="blk2sz", help="the blk2sz program to ask for sizes")
    args = p.parse_args()
    if args.no_ram:
        args.ram = [0xFFFF, args.ram[1]]

    rng = random.Random(args.seed)
    rom = area_size(args.blk2sz, args.type, 0, args.rom_end + 1)
    ram = 0
    if args.ram[0] != 0xFFFF:
        ram = area_size(args.blk2sz, args.type, args.ram[0], args.ram[1] - args.ram[0] + 1)
    with open(args.out, "wb") as out:
        out.write(first_block(args, rng))
        write_area(out, rom, args.fill, rng)
        write_area(out, ram, args.fill, rng)
        write_area(out, args.extra, "random", rng)
        if args.truncate is not None:
            out.truncate(args.truncate)
    return 0


if __name__ == "__main__":
    sys.exit(main())
