// vecdrive: converts a vector table into the Verilog module `driver` and the
// memory file that the module reads while the simulation runs.
//
// Where state lives and who writes it:
//  - the scanner (vecdrive_scan.l) sets `line_num` and the token values in
//    `yylval` through install() and install_number();
//  - the grammar actions (vecdrive_gram.y) fill `Signal`/`nSigs`,
//    `Clock`/`nClocks`, `MemWidth`, `CurEdge`, `CurStrobe`, `ClkSig`,
//    `ClkPhase`, `VectorPhase`, and for each vector row `VecArray`/`CurSig`,
//    writing the row to `Vecfp` when the row is complete (`nVecs` counts them;
//    `VecLen` keeps the length of each text in `VecArray`);
//  - the driver (vecdrive.cpp) reads the options into `ClkScale`, `Vecfp` and
//    `txtin`, runs the parser and then writes the module from the finished
//    tables.  Nothing is freed or reset before exit.
#ifndef VECDRIVE_H
#define VECDRIVE_H

#include <cstdio>

enum SignalNodeType { VDRV_INPUT = 0, VDRV_OUTPUT = 1, VDRV_BIDIR = 2, VDRV_VALID = 3 };

constexpr int NAME_LEN = 128;   // names of signals and clocks, NUL included
constexpr int FIELD_LEN = 128;  // one vector field text, NUL included
constexpr int MAX_SIGS = 512;   // signals a table may declare
constexpr int MAX_CLOCKS = 10;  // clocks a table may declare
constexpr int MAX_PHASES = 10;  // phases of one clock
constexpr int TOKEN_TEXT = 256; // text a token carries, NUL included

struct SigDef {
    char sig_name[NAME_LEN];
    char val_sig_name[NAME_LEN];
    char en_sig_name[NAME_LEN];
    int msb;
    int lsb;
    int size;
    int hex_dig;
    int edge;
    int strobe;
    SignalNodeType type;
    int valid;
    int polarity;
};

struct ClockDef {
    char sig_name[NAME_LEN];
    int val[MAX_PHASES];
    int time[MAX_PHASES];
    int phases;
};

// The value of every token and grammar symbol.  The members overlay each
// other: a number in the header stores its value over the first bytes of the
// text that an earlier token left.
union NameType {
    char name[TOKEN_TEXT];
    int ival;
};
#define YYSTYPE NameType

// The slot of the line being read is Signal[nSigs] (Clock[nClocks] for a
// clock line); a line that goes past the limit is still built before the
// check at its end, so each table keeps one spare working slot.
extern SigDef Signal[MAX_SIGS + 1];
extern int nSigs;
extern ClockDef Clock[MAX_CLOCKS + 1];
extern int nClocks;
extern char VecArray[MAX_SIGS][FIELD_LEN];
extern int VecLen[MAX_SIGS]; // length of each text in VecArray
extern int CurSig;
extern int nVecs;
extern int MemWidth;
extern int CurEdge;
extern int CurStrobe;
extern int ClkSig;
extern int ClkPhase;
extern int line_num;
extern int VectorPhase;
extern float ClkScale;
extern FILE *Vecfp;
extern const char *VecfpName; // the memory file's name, for messages
extern FILE *txtin;

// Scanner and parser.
int yylex();
int yyparse();
void yyerror(const char *msg);
extern FILE *yyin;
extern YYSTYPE yylval;
void install(const char *text);
void install_number(const char *text, int base);
int number_value(const char *text, int base);
const char *last_token_text();

// Grammar actions that do more than set a field or two (vecdrive_gram.y).
void end_statement_line();
void end_vector_line();
void add_vector_field(const char *text);
const char *field_text(const char *name);
void set_single_bit(const char *name);
void set_bus(const char *name, int msb, int lsb);
void begin_signal(bool bus);
void set_valid_name(const char *name);
void set_enable(const char *name, int polarity);
void make_valid_signal();
void start_clock(int val, int time);
void add_clock_phase(int val, int time);

// Driver (vecdrive.cpp).
[[noreturn]] void fail(int status, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void check_memory_file();
void write_module(const char *prog);

#endif
