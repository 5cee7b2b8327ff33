%{
/* Grammar of the vecdrive dialect of the vector table, with its actions.
 *
 * A declaration line fills the slot Signal[nSigs] (a clock line also
 * Clock[nClocks]) and is committed by the action of `line: statement EOL`;
 * a vector row collects its field texts in VecArray and is written to the
 * memory file by the action of `line: vector EOL`.
 *
 * Error recovery: `error` is accepted only at the start of a line.  After
 * it, both `statement: error` and `vector: error` are possible, so the
 * parser has no default reduction there and throws tokens away until an
 * end of line (a bad declaration, counted as one signal) or a number (a
 * bad row that goes on as a vector row from that number) decides.  Both
 * productions may be followed by EOL: byacc reports this as the one
 * expected reduce/reduce conflict and reduces `statement: error`, the
 * earlier of the two, which is what a bad declaration line needs.  Keep the
 * order of the productions. */
#include <climits>
#include <cstdio>
#include <cstring>
#include "vecdrive.h"

/* The INTEGER operand of a declaration.  Numbers carry their text once the
 * first empty line has passed; a declaration written after it still gets
 * the value of the number as written. */
static int int_value(const NameType &v)
{
    if (VectorPhase == 0)
        return v.ival;
    return number_value(v.name, 10);
}
%}

%token COLON EOL LBRACKET RBRACKET LPAREN RPAREN PERCENT QUOTE
%token KW_I KW_O KW_B KW_T KW_E KW_S KW_C KW_V
%token INTEGER HEXNUM NAME BADCHAR

%expect-rr 1

%start table_file

%%

table_file
    : /* empty */
    | table_file line
    ;

line
    : EOL                   { VectorPhase = 1; }
    | statement EOL         { end_statement_line(); }
    | vector EOL            { end_vector_line(); }
    ;

statement
    : input_decl
    | output_decl
    | bidir_decl
    | valid_decl
    | clock_decl            { ClkSig = 1; }
    | error                 { printf("Signal, Unrecognized signal syntax: %s\n", last_token_text()); }
    ;

input_decl
    : signal_ref KW_I               { Signal[nSigs].type = VDRV_INPUT; }
    | input_decl KW_E INTEGER       { Signal[nSigs].edge = CurEdge = int_value($3); }
    | input_decl KW_V NAME          { set_valid_name($3.name); }
    ;

output_decl
    : signal_ref KW_O               { Signal[nSigs].type = VDRV_OUTPUT; }
    | output_decl KW_S INTEGER      { Signal[nSigs].strobe = CurStrobe = int_value($3); }
    | output_decl KW_V NAME         { set_valid_name($3.name); }
    ;

bidir_decl
    : signal_ref KW_B NAME INTEGER  { set_enable($3.name, int_value($4)); }
    | bidir_decl KW_E INTEGER       { Signal[nSigs].edge = CurEdge = int_value($3); }
    | bidir_decl KW_S INTEGER       { Signal[nSigs].strobe = CurStrobe = int_value($3); }
    | bidir_decl KW_V NAME          { set_valid_name($3.name); }
    ;

valid_decl
    : signal_ref KW_V               { make_valid_signal(); }
    | valid_decl KW_E INTEGER       { Signal[nSigs].edge = CurEdge = int_value($3); }
    ;

clock_decl
    : signal_ref KW_C INTEGER LPAREN INTEGER RPAREN { start_clock(int_value($3), int_value($5)); }
    | clock_decl INTEGER LPAREN INTEGER RPAREN      { add_clock_phase(int_value($2), int_value($4)); }
    ;

signal_ref
    : bus_ref               { begin_signal(true); }
    | NAME                  { set_single_bit($1.name); begin_signal(false); }
    ;

bus_ref
    : NAME LBRACKET INTEGER COLON INTEGER RBRACKET
                            { set_bus($1.name, int_value($3), int_value($5)); }
    ;

vector
    : vector_field
    | vector vector_field
    | error                 { printf("Unrecognized signal syntax: %s\n", last_token_text()); }
    ;

vector_field
    : INTEGER               { add_vector_field(field_text($1.name)); }
    | HEXNUM                { add_vector_field(field_text($1.name) + 2); }
    ;

%%

/* Syntax errors (and a parser stack that cannot grow) name the line. */
void yyerror(const char *)
{
    fprintf(stderr, "******* Error line: %d *********\n", line_num);
}

/* A name must fit its field whole: a name cut short would be a different
 * signal in the module text. */
static void check_name(const char *name, int room)
{
    if (strlen(name) > static_cast<size_t>(room))
        fail(911, "ERROR: name %s is longer than max(%d) characters\n", name, room);
}

/* Bus arithmetic is done wide and stored as the record's int; absurd
 * ranges give absurd numbers, never undefined behaviour. */
static int narrow(long long v) { return static_cast<int>(v); }

void set_single_bit(const char *name)
{
    SigDef &s = Signal[nSigs];
    check_name(name, NAME_LEN - 1);
    strcpy(s.sig_name, name);
    s.msb = 0;
    s.lsb = 0;
    s.size = 1;
    s.hex_dig = 0;
}

void set_bus(const char *name, int msb, int lsb)
{
    SigDef &s = Signal[nSigs];
    check_name(name, NAME_LEN - 1);
    strcpy(s.sig_name, name);
    s.msb = msb;
    s.lsb = lsb;
    s.size = narrow(static_cast<long long>(msb) - lsb + 1);
    s.hex_dig = narrow((static_cast<long long>(msb) - lsb + 4) / 4);
}

/* Every signal reference starts a fresh record and claims its slot of the
 * memory word: 4 bits per hexadecimal digit of a bus, 4 for a single bit. */
void begin_signal(bool bus)
{
    SigDef &s = Signal[nSigs];
    s.type = VDRV_INPUT;
    s.edge = CurEdge;
    s.strobe = CurStrobe;
    s.valid = 0;
    MemWidth = narrow(MemWidth + (bus ? 4LL * s.hex_dig : 4LL));
}

void set_valid_name(const char *name)
{
    SigDef &s = Signal[nSigs];
    check_name(name, NAME_LEN - 3);
    snprintf(s.val_sig_name, NAME_LEN, "%s_v", name);
    s.valid = 1;
}

void set_enable(const char *name, int polarity)
{
    SigDef &s = Signal[nSigs];
    check_name(name, NAME_LEN - 1);
    strcpy(s.en_sig_name, name);
    s.type = VDRV_BIDIR;
    s.polarity = polarity;
}

void make_valid_signal()
{
    SigDef &s = Signal[nSigs];
    check_name(s.sig_name, NAME_LEN - 3);
    strcat(s.sig_name, "_v");
    s.type = VDRV_VALID;
}

void start_clock(int val, int time)
{
    ClockDef &c = Clock[nClocks];
    strcpy(c.sig_name, Signal[nSigs].sig_name);
    c.val[0] = val;
    c.time[0] = time;
    ClkPhase = 1;
    c.phases = 1;
}

void add_clock_phase(int val, int time)
{
    if (ClkPhase == MAX_PHASES)
        fail(911, "Error, exceeded max number of clk phases %d\n", ClkPhase);
    ClockDef &c = Clock[nClocks];
    c.val[ClkPhase] = val;
    c.time[ClkPhase] = time;
    ClkPhase++;
    c.phases = ClkPhase;
}

/* A finished declaration line: a clock line commits the clock slot, any
 * other line (a bad one included) the signal slot. */
void end_statement_line()
{
    if (ClkSig == 1) {
        ClkSig = 0;
        if (nClocks == MAX_CLOCKS)
            fail(911, "ERROR: number of clocks exceeds max(%d)\n", MAX_CLOCKS);
        nClocks++;
    } else {
        if (nSigs == MAX_SIGS)
            fail(911, "ERROR: number of signals exceeds max(%d)\n", MAX_SIGS);
        nSigs++;
    }
}

/* A number carries its text only from the first empty line on; a row
 * written before it takes the text kept by the scanner (a field is reduced
 * as soon as its number is shifted, before the next token is read). */
const char *field_text(const char *name)
{
    return VectorPhase != 0 ? name : last_token_text();
}

/* Fields past the table are counted (the first row's check reports them)
 * but not stored; a field text must fit its slot whole. */
void add_vector_field(const char *text)
{
    if (CurSig < MAX_SIGS) {
        size_t len = strlen(text);
        if (len >= static_cast<size_t>(FIELD_LEN))
            fail(911, "ERROR: vector field %d of row %d is longer than max(%d) characters\n",
                 CurSig, nVecs + 1, FIELD_LEN - 1);
        memcpy(VecArray[CurSig], text, len + 1);
        VecLen[CurSig] = static_cast<int>(len);
    }
    if (CurSig < INT_MAX)
        CurSig++;
}

/* A finished vector row: the first one is checked against the header, then
 * every row goes to the memory file at once. */
void end_vector_line()
{
    if (nVecs == 0) {
        if (CurSig != nSigs)
            fail(911, "ERROR: number of signals in header(%d) doesn't match number of vectors(%d)\n",
                 nSigs, CurSig);
        for (int i = 0; i < nSigs; i++) {
            int want = Signal[i].hex_dig != 0 ? Signal[i].hex_dig : 1;
            int len = VecLen[i];
            if (len != want)
                fail(911,
                     "ERROR: length(%d) of vector field %d doesn't match signal definition(%d)\n",
                     len, i, want);
        }
    }
    // The line is put together first and written in one piece.
    static char line[MAX_SIGS * FIELD_LEN + 1];
    size_t at = 0;
    for (int i = 0; i < nSigs; i++) {
        memcpy(line + at, VecArray[i], VecLen[i]);
        at += VecLen[i];
        line[at++] = '_';
    }
    line[at++] = '\n';
    fwrite(line, 1, at, Vecfp);
    check_memory_file();
    CurSig = 0;
    if (nVecs < INT_MAX)
        nVecs++;
}
