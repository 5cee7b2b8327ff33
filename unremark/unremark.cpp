// The comment filter: removes "/*" ... "*/" block comments and "//" line
// comments from a byte stream, copying everything else unchanged.
//
// The scanner knows two rules, "/*" and "//" followed by the longest run of
// bytes that are neither a newline nor NUL; any other byte is copied.  A NUL
// byte outside a block comment ends the text like the end of input does.
// Text is copied in whole runs between one "/" and the next, sixteen bytes
// at a time, and block comments are skipped with memchr, so no byte costs a
// call of its own.
//
// State: one Filter record (see unremark.h), carried from block to block so
// that a comment may open in one block and close in another.
#include "unremark.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Copies the text from p to o up to the first "/" or NUL byte, which the
// NUL after the block guarantees to find, and returns where it stopped; o
// moves along.  Sixteen bytes are stored before they are looked at: the
// bytes stored past the stop lie within the n + 1 bytes the output may use,
// because the output never runs more than one byte ahead of the input, and
// are overwritten by what comes next.
const char *copy_text(const char *p, const char *end, char *&o) {
#if defined(__SSE2__)
    const __m128i slash = _mm_set1_epi8('/');
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o), v);
        unsigned hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, slash), _mm_cmpeq_epi8(v, zero))));
        if (hits) {
            int at = __builtin_ctz(hits);
            o += at;
            return p + at;
        }
        p += 16;
        o += 16;
    }
#else
    (void)end;
#endif
    while (*p != '/' && *p != '\0')
        *o++ = *p++;
    return p;
}

// Returns the first newline or NUL byte at or after p; the NUL after the
// block stops the search at end at the latest.
const char *find_line_end(const char *p, const char *end) {
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        unsigned hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, newline), _mm_cmpeq_epi8(v, zero))));
        if (hits) return p + __builtin_ctz(hits);
        p += 16;
    }
#else
    (void)end;
#endif
    while (*p != '\n' && *p != '\0')
        ++p;
    return p;
}

// Consumes the inside of a block comment from p up to end.  Every byte in it
// is dropped, newlines and NUL bytes included.  The comment closes at the
// first "*/" after the opening "/*"; the "*" of the opening never counts, and
// after a "*" that is not followed by "/" the next byte is looked at afresh,
// so "**/" closes.
const char *skipcomments(Filter &f, const char *p, const char *end) {
    while (p < end) {
        if (f.state == FS_BLOCK) {
            const void *star = memchr(p, '*', static_cast<size_t>(end - p));
            if (!star) return end;
            p = static_cast<const char *>(star) + 1;
            f.state = FS_STAR;
        } else {
            char c = *p++;
            if (c == '/') {
                f.state = FS_TEXT;
                return p;
            }
            if (c != '*') f.state = FS_BLOCK;
        }
    }
    return p;
}

} // namespace

FilterStop filter_block(Filter &f, const char *in, size_t n, char *out, size_t &out_len) {
    const char *p = in;
    const char *end = in + n;
    char *o = out;
    FilterStop stop = FILTER_MORE;

    while (p < end && stop == FILTER_MORE) {
        switch (f.state) {
        case FS_TEXT: {
            const char *q = copy_text(p, end, o);
            if (q == end) {
                p = end;
            } else if (*q == '\0') {
                stop = FILTER_END;
            } else {
                p = q + 1;
                f.state = FS_SLASH;
            }
            break;
        }
        case FS_SLASH:
            if (*p == '*') {
                ++p;
                f.state = FS_BLOCK;
            } else if (*p == '/') {
                ++p;
                f.state = FS_LINE;
                f.line_len = 2;
            } else {
                // A lone "/" is text; the byte after it is scanned as text again.
                *o++ = '/';
                f.state = FS_TEXT;
            }
            break;
        case FS_LINE: {
            // The scanner reads one byte past the end of a line comment to see
            // that it ends, and holds at most TokenLimit bytes of one token.
            if (f.line_len == TokenLimit) {
                stop = FILTER_TOO_LONG;
                break;
            }
            size_t room = static_cast<size_t>(TokenLimit - f.line_len);
            size_t avail = static_cast<size_t>(end - p);
            size_t look = room < avail ? room : avail;
            size_t run = static_cast<size_t>(find_line_end(p, end) - p);
            if (run < look) {
                // The newline or NUL stays in the stream: a newline is copied
                // as text, a NUL ends the text.
                p += run;
                f.state = FS_TEXT;
            } else {
                p += look;
                f.line_len += static_cast<int>(look);
            }
            break;
        }
        case FS_BLOCK:
        case FS_STAR:
            p = skipcomments(f, p, end);
            break;
        }
    }
    out_len = static_cast<size_t>(o - out);
    return stop;
}

FilterStop filter_end(Filter &f, char *out, size_t &out_len) {
    out_len = 0;
    switch (f.state) {
    case FS_TEXT:
        break;
    case FS_SLASH:
        out[out_len++] = '/';
        f.state = FS_TEXT;
        break;
    case FS_LINE:
        // The end of input is the byte read after the comment; it is one too
        // many when the comment already fills the token.
        if (f.line_len == TokenLimit) return FILTER_TOO_LONG;
        f.state = FS_TEXT;
        break;
    case FS_BLOCK:
    case FS_STAR:
        return FILTER_UNTERMINATED;
    }
    return FILTER_END;
}
