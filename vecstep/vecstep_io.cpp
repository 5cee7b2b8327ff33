// The script stream, the table reader and the failure paths.
//
// The script is collected in one large buffer and written with write(2) when
// the buffer fills, before every message and at the end.  Messages go to
// standard error unbuffered, so flushing the script first keeps script
// lines and messages in program order when the script itself goes to
// standard error.  A failed write ends the run at once with status 1: a
// truncated script must never pass for a finished one.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "vecstep.h"

int EchoComments = 1;
int VerilogMode = 0;
int Clocks2Dump = 20;
int FloatPrec = 2;
float Clocks2Test = 0.0f;

ScriptStream Vecfp;

namespace {

constexpr size_t ScriptBufSize = 1 << 20;

int InFd = 0;
const char *InName = "standard input";
bool NulPending = false;

// Writes the bytes to the script; returns 0 or the errno of the failure.
// After a failure the stream is dropped: nothing more is written to it.
int write_all(const char *p, size_t n) {
    while (n > 0 && Vecfp.fd >= 0) {
        ssize_t w = write(Vecfp.fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            Vecfp.fd = -1;
            return errno;
        }
        p += w;
        n -= (size_t)w;
    }
    return 0;
}

[[noreturn]] void write_failed(int err) {
    fprintf(stderr, "%s: %s\n", Vecfp.name, strerror(err));
    exit(1);
}

// Empties the buffer into the script; returns 0 or the errno of a failure.
int flush_buffer() {
    int err = Vecfp.len > 0 ? write_all(Vecfp.buf, Vecfp.len) : 0;
    Vecfp.len = 0;
    return err;
}

void ensure_buffer() {
    if (Vecfp.buf) return;
    Vecfp.buf = static_cast<char *>(malloc(ScriptBufSize));
    if (!Vecfp.buf) {
        fprintf(stderr, "vecstep: out of memory\n");
        exit(1);
    }
    Vecfp.cap = ScriptBufSize;
}

// Step times repeat from row to row: their formatted text is kept in a small
// table keyed by the exact float value, so most steps are a plain copy.
struct TimeText {
    uint32_t bits;
    uint8_t len; // 0: empty entry
    char text[47];
};
TimeText TimeCache[256];

} // namespace

void script_open(const char *path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        perror(path);
        exit(1);
    }
    if (Vecfp.fd > 2) close(Vecfp.fd); // an earlier -o
    Vecfp.fd = fd;
    Vecfp.name = path;
}

void script_flush() {
    ensure_buffer();
    if (int err = flush_buffer()) write_failed(err);
}

void script_spill(const char *p, size_t n) {
    script_flush();
    if (n >= Vecfp.cap) {
        if (int err = write_all(p, n)) write_failed(err);
        return;
    }
    memcpy(Vecfp.buf, p, n);
    Vecfp.len = n;
}

void script_close() {
    script_flush();
    if (Vecfp.fd < 0) return;
    if (close(Vecfp.fd) != 0 && Vecfp.fd != 2) {
        perror(Vecfp.name);
        exit(1);
    }
    Vecfp.fd = -1;
}

void out_fmt(const char *fmt, ...) {
    ensure_buffer();
    va_list ap;
    va_start(ap, fmt);
    size_t room = Vecfp.cap - Vecfp.len;
    int n = vsnprintf(Vecfp.buf + Vecfp.len, room, fmt, ap);
    va_end(ap);
    if (n < 0) fatal(1, "Error: cannot write the script: %s\n", strerror(errno));
    if ((size_t)n < room) {
        Vecfp.len += (size_t)n;
        return;
    }
    // Did not fit: format again into a buffer of the exact size.
    char *tmp = static_cast<char *>(malloc((size_t)n + 1));
    if (!tmp) fatal(1, "vecstep: out of memory\n");
    va_start(ap, fmt);
    vsnprintf(tmp, (size_t)n + 1, fmt, ap);
    va_end(ap);
    out_mem(tmp, (size_t)n);
    free(tmp);
}

void out_time(float t) {
    uint32_t bits;
    memcpy(&bits, &t, sizeof bits);
    TimeText &c = TimeCache[(bits ^ (bits >> 11) ^ (bits >> 23)) & 255];
    if (c.len == 0 || c.bits != bits) {
        char tmp[sizeof c.text];
        int n = snprintf(tmp, sizeof tmp, "%.*f", FloatPrec, (double)t);
        if (n < 1 || (size_t)n >= sizeof tmp) {
            out_fmt("%.*f", FloatPrec, (double)t); // too long to keep
            return;
        }
        c.bits = bits;
        c.len = (uint8_t)n;
        memcpy(c.text, tmp, (size_t)n);
    }
    out_mem(c.text, c.len);
}

void echo_comment(const char *text, size_t len) {
    if (!EchoComments) return;
    out_mem("echo ", 5);
    out_mem(text, len);
}

// ---- the table -----------------------------------------------------------------------

void input_open(const char *path) {
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        perror(path);
        exit(1);
    }
    InFd = fd;
    InName = path;
}

void input_close() {
    if (InFd > 0) close(InFd);
    InFd = -1;
}

// A vector table is text.  A NUL byte cannot be part of any token and would
// cut comment texts short, so the table is read up to the NUL and the run
// then ends with status 2 and the line of the NUL.  A read error ends the
// run with status 2 too, instead of passing for the end of the table.
int input_read(char *buf, int max_size) {
    if (NulPending) fatal(2, "Error: NUL byte in input, line %d\n", line_num + 1);
    ssize_t n;
    do {
        n = read(InFd, buf, (size_t)max_size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) fatal(2, "%s: %s\n", InName, strerror(errno));
    if (n == 0) return 0;
    if (const void *z = memchr(buf, '\0', (size_t)n)) {
        n = static_cast<const char *>(z) - buf;
        NulPending = true;
        if (n == 0) fatal(2, "Error: NUL byte in input, line %d\n", line_num + 1);
    }
    return (int)n;
}

// ---- messages ------------------------------------------------------------------------

namespace {
// Flushes the script before a message; a write error is reported at once
// and its errno returned, so that the message still follows it.
int flush_before_message() {
    int err = flush_buffer(); // also when -o names standard error under another name
    if (err) fprintf(stderr, "%s: %s\n", Vecfp.name, strerror(err));
    return err;
}
} // namespace

// A write error met while flushing ends the run, but the message that
// caused the flush is still written after it.
void message(const char *fmt, ...) {
    int err = flush_before_message();
    va_list ap;
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    if (err) exit(1);
}

// A failed flush is reported too, but the status stays that of the failure
// that ended the run.
void fatal(int status, const char *fmt, ...) {
    flush_before_message();
    va_list ap;
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    exit(status);
}

int trunc_int(double v) {
    if (std::isnan(v)) return 0;
    if (v >= (double)INT_MAX) return INT_MAX;
    if (v <= (double)INT_MIN) return INT_MIN;
    return (int)v;
}
