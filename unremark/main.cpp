// unremark: copies standard input to standard output without its "/* */"
// and "//" comments.  Takes no options; arguments are ignored.
//
// Exit status: 0 when the text ends (end of input or a NUL byte), 1 when a
// line comment is too long, the input ends inside a block comment, or
// reading or writing fails.
//
// Input is read in large blocks straight from the descriptor and each block's
// surviving text is written before the next read, so the filter also serves
// in an interactive pipeline.  The two buffers below are the only storage.
#include "unremark.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t BlockSize = 256 * 1024;

// One byte more than a block each: the NUL mark after the input, and the "/"
// held back from the previous block in front of the output.
char InBuf[BlockSize + 1];
char OutBuf[BlockSize + 1];

[[noreturn]] void fail(const char *what, int err) {
    if (err)
        fprintf(stderr, "unremark: %s: %s\n", what, strerror(err));
    else
        fprintf(stderr, "unremark: %s\n", what);
    exit(1);
}

// A closed pipe downstream ends the process through SIGPIPE as usual.
void write_all(const char *p, size_t n) {
    while (n > 0) {
        ssize_t done = write(STDOUT_FILENO, p, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            fail("write error", errno);
        }
        p += done;
        n -= static_cast<size_t>(done);
    }
}

size_t read_block() {
    for (;;) {
        ssize_t got = read(STDIN_FILENO, InBuf, BlockSize);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) fail("read error", errno);
    }
}

} // namespace

int main() {
    Filter f;
    FilterStop stop = FILTER_MORE;
    while (stop == FILTER_MORE) {
        size_t n = read_block();
        size_t len = 0;
        if (n == 0) {
            stop = filter_end(f, OutBuf, len);
        } else {
            InBuf[n] = '\0';
            stop = filter_block(f, InBuf, n, OutBuf, len);
        }
        write_all(OutBuf, len);
    }

    if (stop == FILTER_TOO_LONG) {
        char msg[64];
        int len = snprintf(msg, sizeof msg, "Input string too long, limit %d\n", TokenLimit);
        write_all(msg, static_cast<size_t>(len));
        return 1;
    }
    if (stop == FILTER_UNTERMINATED) fail("unterminated comment", 0);
    return 0;
}
