#!/usr/bin/env python3
"""Writes a realistic vector table of ROWS rows on standard output.

    python3 bench/gen_table.py [--common] ROWS > file.tab

The header declares 64 signals of a small bus interface on two clocks:
single-bit controls and address/data buses driven by the tester, four
bidirectional data buses and four bidirectional strobes with their output
enables, two valid signals qualifying most outputs, and single-bit and bus
outputs.  Rows evolve the way a bus transaction trace does: the address
counts, data changes every few cycles, controls and enables toggle now and
then, outputs follow.  At 1,000,000 rows the table is about 200 MB.

--common keeps to what every converter's dialect reads: buses "d[7:0]",
"@i", "@o", "@b enable polarity", "@v", integer "@e"/"@s" times, "@v name"
options, clocks "clk @c 0 (5) 1 (5)", and only decimal and "0x" hexadecimal
numbers.  Without it the table also uses clock membership ("@c clk2"), bit
references ("st[2] @o"), fractional times and x/z digits in the rows.
The output is the same for the same arguments (fixed seed).
"""
import random
import sys


def header(common):
    lines = ["# generated bus-interface vectors", "clk @c 0 (5) 1 (5)", "clk2 @c 0 (10) 1 (10)"]
    sigs = []  # (kind, width) per declared signal, in declaration order

    def decl(text, kind, width=1):
        lines.append(text)
        sigs.append((kind, width))

    decl("vld0 @v", "valid")
    decl("vld1 @v", "valid")
    for i in range(22):
        edge = " @e 1" if i == 0 else ""
        decl(f"ctl{i} @i{edge}", "in")
    decl("addr[15:0] @i @e 2", "in", 16)
    decl("wdata[31:0] @i", "in", 32)
    for i in range(4):
        decl(f"be{i}[7:0] @i", "in", 8)
    for i in range(4):
        decl(f"oe{i} @i @e 1", "en")
    for i in range(4):
        decl(f"io{i}[7:0] @b oe{i} 1 @e 3 @s 8 @v vld0", "bidir", 8)
    for i in range(4):
        decl(f"ios{i} @b oe{i} 0 @e 3 @s 8", "bidir")
    for i in range(14):
        strobe = " @s 9" if i == 0 else ""
        valid = " @v vld1" if i % 2 else ""
        decl(f"st{i} @o{strobe}{valid}", "out")
    for i in range(8):
        decl(f"rdata{i}[7:0] @o @v vld0", "out", 8)
    if not common:
        # Slow-clock and bit-level signals, fractional times.
        lines[lines.index("ctl1 @i")] = "ctl1 @i @e 2.5 @c clk2"
        lines[lines.index("ctl21 @i")] = "ctl21 @i @e 12 @c clk2"
        lines[lines.index("st2 @o")] = "flag[2] @o @s 7.5"
        lines[lines.index("st3 @o @v vld1")] = "flag[3] @o @s 7 @v vld1 @c clk2"
        lines[lines.index("vld1 @v")] = "vld1 @v @c clk2"
        for i in range(1, 14, 2):
            if i != 3:
                lines[lines.index(f"st{i} @o @v vld1")] = f"st{i} @o @v vld1 @c clk2"
    return lines, sigs


def hexval(v, width):
    # Every digit of the bus is written, as a table for a Verilog driver
    # must: its memory word has a fixed layout.
    return "0x%0*x" % ((width + 3) // 4, v & ((1 << width) - 1))


def rows(n, sigs, common, out):
    rnd = random.Random(1994)
    vals = []
    for kind, width in sigs:
        vals.append(rnd.getrandbits(width) if kind != "valid" else 1)
    text = [hexval(v, w) if w > 1 else str(v) for v, (k, w) in zip(vals, sigs)]
    idx = {k: [i for i, s in enumerate(sigs) if s[0] == k] for k in ("in", "en", "bidir", "out", "valid")}
    addr = next(i for i, s in enumerate(sigs) if s == ("in", 16))
    wdata = next(i for i, s in enumerate(sigs) if s == ("in", 32))
    buf = []
    for r in range(n):
        vals[addr] = (vals[addr] + 4) & 0xFFFF
        text[addr] = hexval(vals[addr], 16)
        if r % 4 == 0:
            vals[wdata] = rnd.getrandbits(32)
            text[wdata] = hexval(vals[wdata], 32)
        for i in rnd.sample(idx["in"], 3):
            if i in (addr, wdata):
                continue
            w = sigs[i][1]
            vals[i] = rnd.getrandbits(w) if w > 1 else vals[i] ^ 1
            text[i] = hexval(vals[i], w) if w > 1 else str(vals[i])
        if r % 16 == 0:
            for i in idx["en"]:
                vals[i] = rnd.getrandbits(1)
                text[i] = str(vals[i])
        for i in idx["bidir"] + idx["out"]:
            if rnd.random() < 0.3:
                w = sigs[i][1]
                vals[i] = rnd.getrandbits(w)
                text[i] = hexval(vals[i], w) if w > 1 else str(vals[i])
        for i in idx["valid"]:
            vals[i] = 0 if rnd.random() < 0.05 else 1
            text[i] = str(vals[i])
        row = text
        if not common and r % 7 == 3:
            # Don't-care and released values.
            row = list(text)
            o = rnd.choice(idx["out"])
            row[o] = "x" if sigs[o][1] == 1 else "0xx" + row[o][3:]
            b = rnd.choice(idx["bidir"])
            row[b] = "z" if sigs[b][1] == 1 else "0xzz"
        buf.append(" ".join(row))
        if len(buf) == 4096:
            buf.append("")
            out.write("\n".join(buf))
            buf = []
    if buf:
        buf.append("")
        out.write("\n".join(buf))


def main():
    args = sys.argv[1:]
    common = "--common" in args
    args = [a for a in args if a != "--common"]
    if len(args) != 1 or not args[0].isdigit():
        sys.stderr.write("usage: gen_table.py [--common] ROWS > file.tab\n")
        return 2
    lines, sigs = header(common)
    out = sys.stdout
    out.write("\n".join(lines) + "\n\n")
    rows(int(args[0]), sigs, common, out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
