// unremark: the comment filter proper, free of any input or output so that
// the program and its tests drive the same code.
//
// The filter is a state machine fed with blocks of input as they arrive.
// All of its state lives in one Filter record that only filter_block and
// filter_end write; the caller owns the input and output buffers and does
// all reading and writing.
#pragma once

#include <cstddef>

// Longest token the scanner holds: a line comment of this many characters,
// its two slashes counted and its newline not, ends the run.
constexpr int TokenLimit = 200;

enum FilterState : unsigned char {
    FS_TEXT,  // copying text
    FS_SLASH, // text, after a "/" that is not written yet
    FS_LINE,  // inside a line comment
    FS_BLOCK, // inside a block comment
    FS_STAR,  // inside a block comment, right after a "*"
};

enum FilterStop {
    FILTER_MORE,        // every byte consumed: feed the next block
    FILTER_END,         // a NUL byte or the end of input ended the text
    FILTER_TOO_LONG,    // a line comment outgrew TokenLimit
    FILTER_UNTERMINATED // the input ended inside a block comment
};

struct Filter {
    FilterState state = FS_TEXT;
    int line_len = 0; // characters of the open line comment, slashes counted
};

// Filters the n bytes at in and writes the text that survives to out, which
// must have room for n + 1 bytes (a "/" held back from the previous block may
// come first); out_len receives the number of bytes written.  in[n] must be a
// NUL byte: the scan for the next "/" uses it as its stop mark.  After any
// result other than FILTER_MORE the run is over and the rest of the input is
// not looked at.
FilterStop filter_block(Filter &f, const char *in, size_t n, char *out, size_t &out_len);

// Ends the input: writes what was held back (at most one byte) to out and
// says how the text ended: FILTER_END, FILTER_TOO_LONG or FILTER_UNTERMINATED.
FilterStop filter_end(Filter &f, char *out, size_t &out_len);
