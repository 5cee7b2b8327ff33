%{
// Grammar of the vecstep dialect of the vector table.  The actions only pick
// values off the stack and call the named routines of vecstep_decl.cpp
// (declarations, end of the header) and vecstep_rows.cpp (vector rows).
//
// Token codes are fixed: the message of `line: error` prints them.
#include <cstdio>

#include "vecstep.h"

static void yyerror(const char *msg);
%}

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
%token KW_DC 269
%token KW_V 270
%token INTEGER 271
%token HEXNUM 272
%token VECDEC 273
%token FLOATNUM 274
%token NAME 275
%token BADCHAR 276

%start table_file

%%

table_file
    : /* empty */
    | table_file line
    ;

line
    : EOL                       { end_header(); }
    | statement EOL             { end_decl_line(); }
    | vector EOL                { row_step(); }
    | error                     { bad_statement(yychar); }
    ;

statement
    : input_decl
    | output_decl
    | bidir_decl
    | valid_decl
    | clock_decl                { ClkSig = 1; }
    ;

input_decl
    : signal_ref KW_I           { decl_kind(VSTP_INPUT); }
    | input_decl KW_E INTEGER   { decl_edge((float)$3.ival); }
    | input_decl KW_E FLOATNUM  { decl_edge($3.fval); }
    | input_decl KW_V NAME      { decl_valid($3.name); }
    | input_decl KW_C NAME      { decl_clock_name($3.name); }
    ;

output_decl
    : signal_ref KW_O           { decl_kind(VSTP_OUTPUT); }
    | output_decl KW_S INTEGER  { decl_strobe((float)$3.ival); }
    | output_decl KW_S FLOATNUM { decl_strobe($3.fval); }
    | output_decl KW_V NAME     { decl_valid($3.name); }
    | output_decl KW_C NAME     { decl_clock_name($3.name); }
    ;

bidir_decl
    : signal_ref KW_B NAME INTEGER
                                { decl_bidir($3.name, $4.ival); }
    | signal_ref KW_B NAME LBRACKET INTEGER RBRACKET INTEGER
                                { decl_bidir_bit($3.name, $5.ival, $7.ival); }
    | bidir_decl KW_E INTEGER   { decl_edge((float)$3.ival); }
    | bidir_decl KW_E FLOATNUM  { decl_edge($3.fval); }
    | bidir_decl KW_S INTEGER   { decl_strobe((float)$3.ival); }
    | bidir_decl KW_S FLOATNUM  { decl_strobe($3.fval); }
    | bidir_decl KW_V NAME      { decl_valid($3.name); }
    | bidir_decl KW_C NAME      { decl_clock_name($3.name); }
    ;

valid_decl
    : signal_ref KW_V           { decl_kind(VSTP_VALID); }
    | valid_decl KW_C NAME      { decl_clock_name($3.name); }
    ;

clock_decl
    : signal_ref KW_C INTEGER LPAREN INTEGER RPAREN
                                { clock_first_phase($3.ival, (float)$5.ival, 0); }
    | signal_ref KW_C INTEGER LPAREN FLOATNUM RPAREN
                                { clock_first_phase($3.ival, $5.fval, 0); }
    | signal_ref KW_DC INTEGER LPAREN INTEGER RPAREN
                                { clock_first_phase($3.ival, (float)$5.ival, 1); }
    | signal_ref KW_DC INTEGER LPAREN FLOATNUM RPAREN
                                { clock_first_phase($3.ival, $5.fval, 1); }
    | clock_decl INTEGER LPAREN INTEGER RPAREN
                                { clock_next_phase($2.ival, (float)$4.ival); }
    | clock_decl INTEGER LPAREN FLOATNUM RPAREN
                                { clock_next_phase($2.ival, $4.fval); }
    ;

signal_ref
    : bus_ref                   { sig_ref_done(); }
    | bit_ref                   { sig_ref_done(); }
    | NAME                      { sig_ref_name($1.name); }
    ;

bus_ref
    : NAME LBRACKET INTEGER COLON INTEGER RBRACKET
                                { sig_ref_bus($1.name, $3.ival, $5.ival); }
    ;

bit_ref
    : NAME LBRACKET INTEGER RBRACKET
                                { sig_ref_bit($1.name, $3.ival); }
    ;

vector
    : vector_field
    | vector vector_field
    ;

vector_field
    : VECDEC                    { vector_field($1.name); }
    | HEXNUM                    { vector_field($1.name + 2); }
    ;

%%

// The line number is that of the line being scanned: line_num counts the
// lines already ended, including an EOL read as lookahead.
static void yyerror(const char *) {
    message("******* Error line: %d *********\n", line_num + 1);
}
