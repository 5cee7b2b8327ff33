// vecpins: converts a vector table into a production-tester program and the
// table file of vector values that the program reads.
//
// Where the state lives and who writes it:
//   - vecpins.cpp owns the signal and clock tables (Signal, Clock, with their
//     counters), the row values (VecArray, nVecs), the table-file stream
//     Vecfp and the run settings (outfilename, clkscale).  main() sets the
//     settings; the grammar actions fill the tables while the input is read;
//     the program writer only reads them after the parse.
//   - vecpins_scan.l owns the install routines that fill the semantic value
//     of each token (with the ring of token texts), the input reader and
//     fail().
//   - vecpins_gram.y owns the parser state (CurSig, CurEdge, CurStrobe,
//     ClkSig, ClkPhase, line_num, VectorPhase) and every semantic action.
#pragma once

#include <cstddef>
#include <cstdio>

// Table limits.  Signal and Clock each hold one slot more than the limit:
// the declaration that goes past the limit is built in that spare working
// slot before the commit rejects it.
inline constexpr int kMaxSigs = 512;
inline constexpr int kMaxClocks = 20;
inline constexpr int kMaxPhases = 10;

// A token carries at most kTokenText characters of its text.
inline constexpr int kTokenText = 255;
// Name and value fields hold a whole token text; sig_name also has room for
// the bus range "[msb:lsb]" appended to a name of full length.
inline constexpr std::size_t kNameSize = kTokenText + 1;
inline constexpr std::size_t kSigNameSize = kNameSize + 32;

enum SignalNodeType : int {
    VPIN_INPUT = 0,
    VPIN_OUTPUT = 1,
    VPIN_BIDIR = 2,
    VPIN_VALID = 3,
};

struct SigDef {
    char sig_name[kSigNameSize]; // name, for a bus with its range: data[7:0]
    char val_sig_name[kNameSize];
    char en_sig_name[kNameSize];
    int msb;
    int lsb;
    int size;
    int hex_dig; // not 0 exactly when the signal is a bus
    int edge;
    int strobe;
    SignalNodeType type;
    int valid;
    int polarity;
};

struct ClockDef {
    char sig_name[kSigNameSize];
    int val[kMaxPhases];
    int time[kMaxPhases];
    int phases;
};

// Semantic value of every token and grammar symbol.  A number token keeps
// both its text and its value, so a number means the same wherever it is
// used: as text in a vector row, as a value in a declaration.  `len` is the
// length of the whole token text, which lets a row value longer than the
// kept text be refused instead of being cut into a different value.
//
// The text itself (at most kTokenText characters) lives in a small ring of
// buffers in the scanner, so the parser's value stack copies a few bytes
// per token instead of a whole text.  The ring holds the last
// kTokenRing tokens: more than any production's right-hand side plus its
// lookahead, so every text an action reads is still in place.
inline constexpr int kTokenRing = 8;
struct NameType {
    const char *name;
    int ival;
    int len;
};
#define YYSTYPE NameType

extern NameType yylval;
// Name of the input in messages: the file name, or "standard input".
extern const char *InputName;
extern FILE *yyin;

int yylex();
int yyparse();
void yyerror(const char *msg);

// Scanner install routines.
void install(const char *text, std::size_t len);
void install_number(const char *text, std::size_t len, int base);

// Tables, filled by the grammar actions (vecpins.cpp).
extern SigDef Signal[kMaxSigs + 1];
extern int nSigs;
extern ClockDef Clock[kMaxClocks + 1];
extern int nClocks;
extern char VecArray[kMaxSigs][kNameSize];
extern long long nVecs;
extern FILE *Vecfp;

// Table file lines (vecpins.cpp).
void write_pin_order();
void write_row();

// Prints a formatted message on standard error and ends the run with
// `status` (vecpins_scan.l).
[[noreturn]] void fail(int status, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
