// Differential test of the block filter against a plain model of the
// scanner: one byte at a time through a pushback stack, a token buffer that
// holds 200 characters, longest match between the two rules, and the comment
// skipper reading straight from the input.  Both run on generated inputs that
// crowd the bytes the rules care about; the block filter is fed in pieces of
// many sizes so that every state is crossed at a block boundary.
#include "unremark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::string text;
    FilterStop how; // FILTER_END, FILTER_TOO_LONG or FILTER_UNTERMINATED
};

bool operator==(const Outcome &a, const Outcome &b) {
    return a.text == b.text && a.how == b.how;
}

void PrintTo(const Outcome &o, std::ostream *os) {
    *os << "how=" << o.how << " text=\"";
    for (unsigned char c : o.text) {
        if (c >= 0x20 && c < 0x7f && c != '\\')
            *os << c;
        else
            *os << "\\x"
                << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    }
    *os << '"';
}

// The scanner as a byte-at-a-time machine.  get() returns the next byte, or
// EndOfInput once the input is exhausted; the scanner itself sees both the
// end and a NUL byte as the value 0.
class Model {
  public:
    explicit Model(const std::string &in) : in_(in) {}

    Outcome run() {
        for (;;) {
            // Read while some rule can still match; remember the longest match.
            std::vector<int> tok;
            size_t match = 0;
            for (;;) {
                int c = get();
                tok.push_back(c);
                if (tok.size() > static_cast<size_t>(TokenLimit)) {
                    out_ += "Input string too long, limit 200\n";
                    return {out_, FILTER_TOO_LONG};
                }
                bool viable = can_match(tok);
                if (viable && is_match(tok)) match = tok.size();
                if (!viable || (tok.size() == 2 && tok[1] == '*')) break;
            }
            for (size_t i = tok.size(); i > match; --i)
                unget(tok[i - 1]);
            if (match == 2 && tok[1] == '*') {
                if (!skip_block()) return {out_, FILTER_UNTERMINATED};
                continue;
            }
            if (match > 0) continue; // a line comment: dropped
            int c = get();
            if (value(c) == 0) return {out_, FILTER_END};
            out_ += static_cast<char>(c);
        }
    }

  private:
    static constexpr int EndOfInput = -1;

    static int value(int c) { return c == EndOfInput ? 0 : c; }

    // Whether tok is a prefix of "/*" or of a line comment, whose body is
    // any run of bytes other than newline and 0.
    static bool can_match(const std::vector<int> &tok) {
        if (value(tok[0]) != '/') return false;
        if (tok.size() == 1) return true;
        if (tok[1] == '*') return tok.size() == 2;
        if (tok[1] != '/') return false;
        for (size_t i = 2; i < tok.size(); ++i)
            if (value(tok[i]) == '\n' || value(tok[i]) == 0) return false;
        return true;
    }

    static bool is_match(const std::vector<int> &tok) { return tok.size() >= 2; }

    // Reads through the closing "*/"; false when the input ends first.
    bool skip_block() {
        for (;;) {
            int c;
            do {
                c = get();
                if (c == EndOfInput) return false;
            } while (c != '*');
            c = get();
            if (c == EndOfInput) return false;
            if (c == '/') return true;
            unget(c);
        }
    }

    int get() {
        if (!back_.empty()) {
            int c = back_.back();
            back_.pop_back();
            return c;
        }
        if (pos_ < in_.size()) return static_cast<unsigned char>(in_[pos_++]);
        return EndOfInput;
    }

    void unget(int c) { back_.push_back(c); }

    const std::string &in_;
    size_t pos_ = 0;
    std::vector<int> back_;
    std::string out_;
};

// Small fixed generator, so that the inputs are the same on every platform.
struct Rng {
    uint64_t s;
    uint32_t next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<uint32_t>(s >> 11);
    }
    size_t below(size_t n) { return next() % n; }
};

// Runs the block filter over in, cut into pieces whose sizes come from
// piece(); each piece sits in a buffer of its own, NUL mark included, and
// gets an output buffer of exactly the documented size.
template <class Piece> Outcome run_filter(const std::string &in, Piece piece) {
    Filter f;
    Outcome got{"", FILTER_MORE};
    size_t pos = 0;
    while (got.how == FILTER_MORE) {
        size_t len = 0;
        if (pos == in.size()) {
            std::vector<char> out(1);
            got.how = filter_end(f, out.data(), len);
            got.text.append(out.data(), len);
            break;
        }
        size_t n = std::min(piece(), in.size() - pos);
        std::vector<char> buf(in.begin() + static_cast<long>(pos),
                              in.begin() + static_cast<long>(pos + n));
        buf.push_back('\0');
        std::vector<char> out(n + 1);
        got.how = filter_block(f, buf.data(), n, out.data(), len);
        got.text.append(out.data(), len);
        pos += n;
    }
    if (got.how == FILTER_TOO_LONG) got.text += "Input string too long, limit 200\n";
    return got;
}

// An input built from the bytes the rules turn on, with runs that bring a
// line comment close to the token limit.
std::string generate(Rng &rng) {
    static const std::string atoms[] = {"/",  "*",  "\n", std::string(1, '\0'), "\r", "a", "\xff",
                                        "//", "/*", "*/"};
    std::string s;
    size_t parts = 1 + rng.below(40);
    for (size_t i = 0; i < parts; ++i) {
        size_t pick = rng.below(14);
        if (pick < 10) {
            s += atoms[pick];
        } else if (pick == 10) {
            s.append(190 + rng.below(20), 'a'); // a run that crosses the limit
        } else if (pick == 11) {
            // A line comment of 196 to 203 characters, then a newline, a NUL
            // or one more slash.
            s += "//";
            s.append(194 + rng.below(8), "x*/\r\xff"[rng.below(5)]);
            s += "\n\0/"[rng.below(3)];
        } else {
            s.append(1 + rng.below(8), "a*/\n"[rng.below(4)]);
        }
    }
    return s;
}

TEST(UnremarkFilter, AgreesWithByteModelOnGeneratedInputs) {
    Rng rng{0x5eed1234abcdULL};
    bool seen[4] = {};
    for (int round = 0; round < 20000; ++round) {
        std::string in = generate(rng);
        Outcome want = Model(in).run();
        seen[want.how] = true;

        Outcome whole = run_filter(in, [&] { return in.size(); });
        ASSERT_EQ(want, whole) << "round " << round << ", input in one block";

        Outcome bytes = run_filter(in, [] { return size_t{1}; });
        ASSERT_EQ(want, bytes) << "round " << round << ", input one byte a block";

        Outcome pieces = run_filter(in, [&] { return 1 + rng.below(rng.below(2) ? 8 : 300); });
        ASSERT_EQ(want, pieces) << "round " << round << ", input in random pieces";
    }
    // The inputs must reach every way a run can end, the token limit included.
    EXPECT_TRUE(seen[FILTER_END]);
    EXPECT_TRUE(seen[FILTER_TOO_LONG]);
    EXPECT_TRUE(seen[FILTER_UNTERMINATED]);
}

// The model itself must show the rules' known results, or agreeing with it
// would prove little.
TEST(UnremarkFilter, ModelKeepsTheDocumentedResults) {
    struct Case {
        std::string in, out;
        FilterStop how;
    };
    const std::string tooLong = "Input string too long, limit 200\n";
    const std::string c199 = "//" + std::string(197, 'x');
    const std::string c200 = c199 + "x";
    const Case cases[] = {
        {"a /* b */ c", "a  c", FILTER_END},
        {"/**/ /***/ /* 2*3/4 */x", "  x", FILTER_END},
        {"/*/ x */y", "y", FILTER_END},
        {"// a /* b\nc */ d", "\nc */ d", FILTER_END},
        {"a/b/", "a/b/", FILTER_END},
        {std::string("a\0b", 3), "a", FILTER_END},
        {std::string("/*\0*/b", 6), "b", FILTER_END},
        {"k/* x *", "k", FILTER_UNTERMINATED},
        {"t" + c199 + "\nu", "t\nu", FILTER_END},
        {"t" + c199, "t", FILTER_END},
        {"t" + c200 + "\nu", "t" + tooLong, FILTER_TOO_LONG},
        {"t" + c200, "t" + tooLong, FILTER_TOO_LONG},
        {"t" + c200 + std::string(1, '\0'), "t" + tooLong, FILTER_TOO_LONG},
    };
    for (const Case &c : cases) {
        Outcome want{c.out, c.how};
        EXPECT_EQ(want, Model(c.in).run());
        EXPECT_EQ(want, run_filter(c.in, [&] { return c.in.size(); }));
    }
}

} // namespace
