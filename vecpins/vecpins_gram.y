/* Grammar of the vecpins vector-table dialect and its semantic actions.
 *
 * Parser state (this file only):
 *   CurSig      position in VecArray that the next value of a row fills
 *   CurEdge     default edge time of the next signal reference
 *   CurStrobe   default strobe time of the next signal reference
 *   ClkSig      set while the current declaration line is a clock
 *   ClkPhase    phases stored so far for the clock being declared
 *   line_num    input lines completed, shown in syntax error messages
 *   VectorPhase 0 in the header, 1 from the first empty line on (number
 *               tokens carry both text and value, so the scanner needs
 *               no switch; the flag only marks the section)
 *
 * Declarations build the working record Signal[nSigs]; the end of the line
 * commits it.  A clock line only borrows the working record for its name and
 * commits Clock[nClocks] instead.
 *
 * Error recovery: `error` is accepted only at the start of a line.  After it,
 * tokens are thrown away until one decides the production: EOL reduces
 * `statement: error`, a number `vector: error`, and "@e", "@s" or "@v"
 * `bidir_decl: error`.  All three can precede EOL; those reduce/reduce
 * conflicts are expected and resolve to the rule listed first,
 * `statement: error`, so keep the rules in this order.
 */
%{
#include <cstdio>
#include <cstring>

#include "vecpins.h"

static int CurSig;
static int CurEdge;
static int CurStrobe;
static int ClkSig;
static int ClkPhase;
static long long line_num;
static int VectorPhase;

static SigDef &work() { return Signal[nSigs]; }
static ClockDef &clock_rec() { return Clock[nClocks]; }
/* Text of the last token that carried a value; empty before the first. */
static const char *current_text() { return yylval.name != nullptr ? yylval.name : ""; }
static void empty_line();
static void commit_statement();
static void end_row();
static void name_signal(const char *name);
static void name_bus(const char *name, int msb, int lsb);
static void start_signal();
static void set_edge(int t);
static void set_strobe(int t);
static void set_valid_name(const char *name);
static void start_clock(int val, int time);
static void add_phase(int val, int time);
static void add_value(const NameType &v, int skip);
%}

%expect-rr 2

%token COLON 257
%token EOL 258
%token LBRACKET 259
%token RBRACKET 260
%token LPAREN 261
%token RPAREN 262
%token KW_I 263
%token KW_O 264
%token KW_B 265
%token KW_E 266
%token KW_S 267
%token KW_C 268
%token KW_V 269
%token INTEGER 270
%token HEXNUM 271
%token NAME 272
%token BADCHAR 273

%start table_file

%%

table_file
    : /* empty */
    | table_file line               { line_num++; }
    ;

line
    : EOL                           { empty_line(); }
    | statement EOL                 { commit_statement(); }
    | vector EOL                    { end_row(); }
    ;

statement
    : input_decl
    | output_decl
    | bidir_decl
    | valid_decl
    | clock_decl                    { ClkSig = 1; }
    | error                         { printf("Signal, Unrecognized signal syntax: %s\n", current_text()); }
    ;

input_decl
    : signal_ref KW_I               { work().type = VPIN_INPUT; }
    | input_decl KW_E INTEGER       { set_edge($3.ival); }
    | input_decl KW_V NAME          { set_valid_name($3.name); }
    ;

output_decl
    : signal_ref KW_O               { work().type = VPIN_OUTPUT; }
    | output_decl KW_S INTEGER      { set_strobe($3.ival); }
    | output_decl KW_V NAME         { set_valid_name($3.name); }
    ;

bidir_decl
    : signal_ref KW_B NAME INTEGER
        {
            std::strcpy(work().en_sig_name, $3.name);
            work().type = VPIN_BIDIR;
            work().polarity = $4.ival;
        }
    | bidir_decl KW_E INTEGER       { set_edge($3.ival); }
    | bidir_decl KW_S INTEGER       { set_strobe($3.ival); }
    | bidir_decl KW_V NAME          { set_valid_name($3.name); }
    | error
    ;

valid_decl
    : signal_ref KW_V               { work().type = VPIN_VALID; CurEdge = 0; }
    ;

clock_decl
    : signal_ref KW_C INTEGER LPAREN INTEGER RPAREN     { start_clock($3.ival, $5.ival); }
    | clock_decl INTEGER LPAREN INTEGER RPAREN          { add_phase($2.ival, $4.ival); }
    ;

signal_ref
    : bus_ref                       { start_signal(); }
    | NAME                          { name_signal($1.name); }
    ;

bus_ref
    : NAME LBRACKET INTEGER COLON INTEGER RBRACKET      { name_bus($1.name, $3.ival, $5.ival); }
    ;

vector
    : vector_field
    | vector vector_field
    | error                         { printf("Unrecognized signal syntax: %s\n", current_text()); }
    ;

vector_field
    : INTEGER                       { add_value($1, 0); }
    | HEXNUM                        { add_value($1, 2); }
    ;

%%

void yyerror(const char *msg)
{
    fprintf(stderr, "Error %s, line %lld\n", msg, line_num);
}

/* The first empty line ends the header; every empty line lists the pins. */
static void empty_line()
{
    write_pin_order();
    VectorPhase = 1;
}

static void commit_statement()
{
    if (ClkSig) {
        ClkSig = 0;
        nClocks++;
    } else {
        nSigs++;
    }
    if (nClocks > kMaxClocks)
        fail(1, "Error: exceeded max number of clocks %d\n", kMaxClocks);
    if (nSigs > kMaxSigs)
        fail(1, "Error: exceeded max number of signals %d\n", kMaxSigs);
}

static void end_row()
{
    nVecs++;
    CurSig = 0;
    write_row();
}

/* A signal reference starts the record as an input with the default times;
 * the options after it refine it. */
static void start_signal()
{
    SigDef &s = work();
    s.type = VPIN_INPUT;
    s.edge = CurEdge;
    s.strobe = CurStrobe;
    s.valid = 0;
}

static void name_signal(const char *name)
{
    SigDef &s = work();
    std::strcpy(s.sig_name, name);
    s.msb = 0;
    s.lsb = 0;
    s.size = 1;
    s.hex_dig = 0;
    start_signal();
}

static void name_bus(const char *name, int msb, int lsb)
{
    SigDef &s = work();
    std::snprintf(s.sig_name, sizeof s.sig_name, "%s[%d:%d]", name, msb, lsb);
    s.msb = msb;
    s.lsb = lsb;
    /* The width of d[2147483647:0] does not fit an int; it is not shown
     * anywhere, so it is held at the largest int. */
    long long width = (long long)msb - lsb + 1;
    s.size = width > 2147483647LL ? 2147483647 : (int)width;
    s.hex_dig = (int)(((long long)msb - lsb + 4) / 4);
}

/* A time given once carries over to every later signal. */
static void set_edge(int t)
{
    work().edge = t;
    CurEdge = t;
}

static void set_strobe(int t)
{
    work().strobe = t;
    CurStrobe = t;
}

static void set_valid_name(const char *name)
{
    std::strcpy(work().val_sig_name, name);
    work().valid = 1;
}

static void start_clock(int val, int time)
{
    ClockDef &c = clock_rec();
    std::strcpy(c.sig_name, work().sig_name);
    c.val[0] = val;
    c.time[0] = time;
    c.phases = 1;
    ClkPhase = 1;
}

static void add_phase(int val, int time)
{
    if (ClkPhase >= kMaxPhases)
        fail(1, "Error, exceeded max number of clk phases %d\n", kMaxPhases);
    ClockDef &c = clock_rec();
    c.val[ClkPhase] = val;
    c.time[ClkPhase] = time;
    ClkPhase++;
    c.phases = ClkPhase;
}

/* Values are kept as written; `skip` drops the "0x" of a hexadecimal one.
 * Positions past the last possible signal are never written, so values
 * there are counted but not kept. */
static void add_value(const NameType &v, int skip)
{
    if (v.len > kTokenText)
        fail(1, "Error: vector value of %d characters is longer than %d, line %lld\n", v.len,
             kTokenText, line_num);
    if (CurSig < kMaxSigs) {
        std::strcpy(VecArray[CurSig], v.name + skip);
        CurSig++;
    }
}
