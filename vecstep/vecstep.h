// vecstep: vector table -> switch-level simulator script.
//
// Where state lives and who writes it:
//   - Settings (EchoComments, VerilogMode, Clocks2Dump, FloatPrec, Clocks2Test)
//     are written once by the option parser in vecstep.cpp and only read later.
//   - Vecfp (the script stream) and the table reader live in vecstep_io.cpp;
//     everything that writes the script goes through the out_* helpers below.
//   - line_num is written by the scanner (vecstep_scan.l); VectorPhase by the
//     end-of-header action.  yylval (NameType) is filled by the scanner's
//     install routines and copied onto the parser's value stack by byacc.
//   - Signal, Clock, SortTab and the header state are written by the
//     declaration actions and the end-of-header steps (vecstep_decl.cpp).
//   - V0, V1, VecBuffer and the row state are written by the row actions
//     (vecstep_rows.cpp); V0/V1/VecBuffer are allocated once, at the first
//     empty line, and never freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// ---- semantic value of every token and grammar symbol ---------------------

constexpr int TokenTextLen = 256; // name and number texts keep 255 characters

union NameType {
    char name[TokenTextLen];
    int ival;
    float fval;
};
#define YYSTYPE NameType
extern NameType yylval; // the value of the token just scanned

extern int line_num;    // EOL tokens and comment lines scanned
extern int VectorPhase; // 0 in the header, 1 from the first empty line on

void install(const char *text, size_t len);
void install_number(const char *text, size_t len, int base);
void install_float(const char *text);
void echo_comment(const char *text, size_t len);

int yylex();
int yyparse();

// ---- settings (options) -----------------------------------------------------

extern int EchoComments;
extern int VerilogMode;
extern int Clocks2Dump;
extern int FloatPrec;
// The C library formats a time with at most a few hundred million decimals
// and silently writes nothing beyond; a float's exact value never needs more
// than 149.  -p above this is refused rather than written as an empty time.
constexpr int MaxFloatPrec = 1000;
extern float Clocks2Test;

// ---- signals and clocks -------------------------------------------------------

enum SignalNodeType { VSTP_INPUT = 0, VSTP_OUTPUT = 1, VSTP_BIDIR = 2, VSTP_VALID = 3 };

constexpr int MaxSignals = 1024; // at most MaxSignals - 1 can be declared
constexpr int MaxClocks = 50;    // at most MaxClocks - 1 can be declared
constexpr int MaxPhases = 10;
// A name field holds any name the scanner delivers (255 characters) plus a
// bit index in brackets, so no declaration can overrun it.
constexpr int SigNameLen = TokenTextLen + 16;
constexpr int FieldLen = 128; // a vector field text keeps 127 characters
// Every signal needs at most two timing entries (a bidirectional signal has
// an edge and a strobe entry), so the table can never overflow.
constexpr int MaxTimings = 2 * MaxSignals;
// In Verilog mode one batch of rows (one period of the slowest clock) is
// held in memory.  A slowest clock so many times the fastest that the batch
// would pass this size is refused with a message, not left to the
// operating system's out-of-memory killer.
constexpr std::size_t MaxBatchBytes = std::size_t{1} << 30;

struct SigDef {
    char sig_name[SigNameLen];
    char val_sig_name[SigNameLen];
    char en_sig_name[SigNameLen];
    char clk_sig_name[SigNameLen];
    int msb;
    int lsb;
    int size;
    int hex_dig;
    float edge;
    int edgev;
    float strobe;
    int strobev;
    int multiple;
    SignalNodeType type;
    int valid;
    int val_sig_indx;
    int oe_sig_indx;
    int polarity;
};

struct ClockDef {
    char sig_name[SigNameLen];
    int val[MaxPhases];
    float time[MaxPhases];
    int phases;
    float period;
    int multiple;
    int dummy;
};

struct SortTable {
    int indx;
    float time;
    int bidir;
};

extern SigDef Signal[MaxSignals];
extern int nSigs;
extern ClockDef Clock[MaxClocks];
extern int nClocks;
extern SortTable SortTab[MaxTimings];
extern int nvSigs;
extern float CurEdge, CurStrobe;
extern int ClkSig;
extern int ClkPhase;
extern float ClkPeriod;
extern int ClkIndex;
extern float SlowClkPeriod;
extern int nVecsSlowClk;

// Field texts: V0 the row being read, V1 the values last applied, VecBuffer
// one batch of rows in Verilog mode (row b, signal i at VecBuffer[b * nSigs + i]).
using FieldText = char[FieldLen];
extern FieldText *V0;
extern FieldText *V1;
extern FieldText *VecBuffer;

// Declaration actions (vecstep_decl.cpp), called from the grammar.
void sig_ref_name(const char *name);
void sig_ref_bus(const char *name, int msb, int lsb);
void sig_ref_bit(const char *name, int bit);
void sig_ref_done();
void decl_kind(SignalNodeType type);
void decl_bidir(const char *en_name, int polarity);
void decl_bidir_bit(const char *en_name, int bit, int polarity);
void decl_edge(float t);
void decl_strobe(float t);
void decl_valid(const char *name);
void decl_clock_name(const char *name);
void clock_first_phase(int level, float duration, int dummy);
void clock_next_phase(int level, float duration);
void end_decl_line();
void end_header();
void bad_statement(int token);

// Row actions (vecstep_rows.cpp).
extern int CurSig;
extern int nVecs;
extern float StepTime;
extern int vec_cnt;
extern int cum_vec_cnt;
void vector_field(const char *text);
void rows_begin(); // the header has ended: prepare the row expansion
void row_step();

// ---- the script stream and the table reader (vecstep_io.cpp) --------------

struct ScriptStream {
    char *buf = nullptr;
    size_t len = 0;
    size_t cap = 0;
    int fd = 2; // standard error until -o names a file
    const char *name = "standard error";
};
extern ScriptStream Vecfp;

void script_open(const char *path); // -o: create/truncate, fatal on failure
void script_spill(const char *p, size_t n);
void script_flush();
void script_close();

inline void out_mem(const char *p, size_t n) {
    if (Vecfp.cap - Vecfp.len < n) {
        script_spill(p, n);
        return;
    }
    memcpy(Vecfp.buf + Vecfp.len, p, n);
    Vecfp.len += n;
}
inline void out_str(const char *s) {
    out_mem(s, strlen(s));
}
inline void out_char(char c) {
    if (Vecfp.len == Vecfp.cap) script_flush();
    Vecfp.buf[Vecfp.len++] = c;
}
void out_fmt(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void out_time(float t); // "%.*f" with FloatPrec

void input_open(const char *path); // fatal (status 1) on failure
void input_close();
int input_read(char *buf, int max_size); // YY_INPUT of the scanner

// Flushes the script (so messages follow it in program order), writes the
// message on standard error and ends the program with the status.
[[noreturn]] void fatal(int status, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Flushes the script before a message that does not end the program.
void message(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Converts a quotient or remainder to int by truncation; values outside the
// int range (or not a number) never reach the conversion undefined.
int trunc_int(double v);
