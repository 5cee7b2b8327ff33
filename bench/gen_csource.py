#!/usr/bin/env python3
"""Writes a large C-like source file for timing the comment filter.

    gen_csource.py OUT [SIZE_MB] [SEED]

The text mixes what real sources hold: file headers and doc comments as
block comments, trailing and whole-line "//" comments (all shorter than
the filter's 200-character limit), string and character literals holding
"//", "/*" and slashes, divisions and pointer stars, and long initializer
lines.  A pool of generated pieces is drawn from at random until the file
reaches SIZE_MB megabytes (default 200); it ends with a whole piece.  The same SEED gives the same file.
"""
import random
import sys

WORDS = ("count index buffer length value state next prev table entry node "
         "offset limit width height flags mask result error total block line "
         "chunk frame cursor handle source target scale ratio").split()
TYPES = ["int", "unsigned", "long", "size_t", "char *", "double", "struct node *"]
PROSE = ("the this that value is read from buffer before next call returns "
         "zero when done otherwise error code caller owns memory see above "
         "note keeps order of entries stable under sort checked once per row").split()


def words(rng, n):
    return " ".join(rng.choice(PROSE) for _ in range(n))


def name(rng):
    return rng.choice(WORDS) + rng.choice(["", "_" + rng.choice(WORDS), str(rng.randrange(10))])


def header(rng):
    lines = ["/*", " * " + name(rng) + ".c: " + words(rng, 8)]
    for _ in range(rng.randrange(3, 15)):
        lines.append(" * " + words(rng, rng.randrange(4, 14)))
    lines.append(" */")
    return "\n".join(lines) + "\n"


def doc_comment(rng):
    lines = ["/**", " * " + words(rng, rng.randrange(5, 12))]
    for _ in range(rng.randrange(0, 6)):
        lines.append(" * @param " + name(rng) + " " + words(rng, rng.randrange(3, 9)))
    lines.append(" */")
    return "\n".join(lines) + "\n"


# One line of code each, given the generator and three names; several carry
# comment marks in string and character literals, divisions and stars.
STATEMENTS = (
    lambda r, a, b, c: f"{a} = {b} / {c} + *{a}_ptr;",
    lambda r, a, b, c: f'printf("{words(r, 3)}: %d // not a comment\\n", {a});',
    lambda r, a, b, c: f'url = "http://{b}.example.org/{c}/*.html";',
    lambda r, a, b, c: f"if ({a} == '/' || {a} == '*') {b}++;",
    lambda r, a, b, c: f"{a} = ({b} * {c}) / {r.randrange(2, 99)}; /* {words(r, r.randrange(2, 8))} */",
    lambda r, a, b, c: f"{a}[{b}] = {c}->{name(r)};  // {words(r, r.randrange(2, 12))}",
    lambda r, a, b, c: f"// {words(r, r.randrange(3, 16))}",
    lambda r, a, b, c: f"for ({a} = 0; {a} < {b}; {a}++) {c} += *{name(r)}++;",
    lambda r, a, b, c: f"{a} = {b} ? {c} / 2 : {c} * 2; /* {words(r, 3)} */ {b} = 0;",
    lambda r, a, b, c: f'strcpy({a}, "{words(r, 4)} */ {words(r, 2)}");',
    lambda r, a, b, c: f"{r.choice(TYPES)} {a} = {b}({c}, sizeof *{c});",
    lambda r, a, b, c: f"return {a} / {b};",
)


def statement(rng, depth):
    a, b, c = name(rng), name(rng), name(rng)
    return "    " * depth + rng.choice(STATEMENTS)(rng, a, b, c) + "\n"


def function(rng):
    out = [doc_comment(rng) if rng.random() < 0.6 else ""]
    out.append(f"static {rng.choice(TYPES)} {name(rng)}({rng.choice(TYPES)} {name(rng)}, "
               f"{rng.choice(TYPES)} {name(rng)})\n{{\n")
    for _ in range(rng.randrange(4, 30)):
        depth = rng.randrange(1, 4)
        if rng.random() < 0.1:
            out.append("    " * depth + "/*\n")
            for _ in range(rng.randrange(1, 5)):
                out.append("    " * depth + " * " + words(rng, rng.randrange(4, 12)) + "\n")
            out.append("    " * depth + " */\n")
        out.append(statement(rng, depth))
    out.append("}\n\n")
    return "".join(out)


def long_table(rng):
    # Initializer lines of several hundred to a few thousand characters.
    values = ", ".join(str(rng.randrange(100000)) for _ in range(rng.randrange(60, 600)))
    return (f"static const int {name(rng)}_table[] = {{ {values} }}; "
            f"/* {words(rng, 5)} */\n\n")


def piece(rng):
    r = rng.random()
    if r < 0.05:
        return header(rng)
    if r < 0.15:
        return long_table(rng)
    return function(rng)


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: gen_csource.py OUT [SIZE_MB] [SEED]")
    size = int(float(sys.argv[2]) * 1000000) if len(sys.argv) > 2 else 200000000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    pool = [piece(rng).encode() for _ in range(4000)]
    written = 0
    with open(sys.argv[1], "wb") as out:
        # Whole pieces only, so that the file never ends inside a comment.
        while written < size:
            batch = rng.choices(pool, k=2000)
            while written + sum(map(len, batch)) > size and len(batch) > 1:
                batch = batch[: len(batch) // 2]
            data = b"".join(batch)
            out.write(data)
            written += len(data)


if __name__ == "__main__":
    main()
