// vecdrive command line, driver and module writer.
//
// The parser (vecdrive_gram.y) fills the signal and clock tables and writes
// the memory file row by row; once it returns, write_module() turns the
// finished tables into the Verilog module `driver` on standard output.
#include <cerrno>
#include <cmath>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "vecdrive.h"

SigDef Signal[MAX_SIGS + 1];
int nSigs;
ClockDef Clock[MAX_CLOCKS + 1];
int nClocks;
char VecArray[MAX_SIGS][FIELD_LEN];
int VecLen[MAX_SIGS];
int CurSig;
int nVecs;
int MemWidth;
int CurEdge;
int CurStrobe;
int ClkSig;
int ClkPhase;
int line_num;
int VectorPhase;
float ClkScale = 1.0f;
FILE *Vecfp;
const char *VecfpName;
FILE *txtin;

void fail(int status, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    exit(status);
}

// A memory file that cannot take its rows must not end as a success.
void check_memory_file() {
    if (ferror(Vecfp))
        fail(1, "ERROR: cannot write memory file %s: %s\n",
             VecfpName != nullptr ? VecfpName : "(standard error)", strerror(errno));
}

static void check_stdout() {
    if (fflush(stdout) != 0 || ferror(stdout))
        fail(1, "ERROR: cannot write standard output: %s\n", strerror(errno));
}

namespace {

int narrow(long long v) {
    return static_cast<int>(v);
}

bool is_bus(const SigDef &s) {
    return s.hex_dig != 0;
}

// Bits a signal owns in the memory word: one hexadecimal digit per 4 bits.
long long slot_width(const SigDef &s) {
    return is_bus(s) ? 4LL * s.hex_dig : 4LL;
}

void section_head(const char *title) {
    fputs("  //\n", stdout);
    fputs(title, stdout);
    fputs("  //\n", stdout);
}

// A phase time scaled by the single-precision ClkScale, the product formed
// in double and truncated; products beyond the int range are clamped.
int scaled_time(int time) {
    double t = time * static_cast<double>(ClkScale);
    if (std::isnan(t)) return 0;
    if (t >= 2147483647.0) return INT_MAX;
    if (t <= -2147483648.0) return INT_MIN;
    return static_cast<int>(t);
}

void write_ports() {
    fputs("module driver(", stdout);
    for (int i = 0; i < nSigs; i++)
        if (Signal[i].type != VDRV_VALID) printf("%s, ", Signal[i].sig_name);
    for (int c = 0; c < nClocks - 1; c++)
        printf("%s, ", Clock[c].sig_name);
    printf("%s", Clock[nClocks - 1].sig_name);
    fputs(");\n", stdout);
}

// One declaration line: "  input\t[7:0]\td;" for a bus, "  input\t\ta;" for
// a single bit.
void declare(const char *kind, const SigDef &s, const char *suffix) {
    if (is_bus(s))
        printf("  %s\t[%d:%d]\t%s%s;\n", kind, s.msb, s.lsb, s.sig_name, suffix);
    else
        printf("  %s\t\t%s%s;\n", kind, s.sig_name, suffix);
}

// The signals of one kind, last declared first: a port declaration, then a
// register when the driver holds the value (reg_suffix names it).
void declare_all(SignalNodeType type, const char *port, const char *reg_suffix) {
    for (int i = nSigs - 1; i >= 0; i--) {
        const SigDef &s = Signal[i];
        if (s.type != type) continue;
        if (port != nullptr) declare(port, s, "");
        if (reg_suffix != nullptr) declare("reg", s, reg_suffix);
    }
}

void write_declarations() {
    // The device's outputs are the driver's inputs and the other way round.
    section_head("  //  Inputs\n");
    declare_all(VDRV_OUTPUT, "input", nullptr);

    section_head("  //  Outputs\n");
    for (int c = 0; c < nClocks; c++) {
        printf("  output\t\t%s;\n", Clock[c].sig_name);
        printf("  reg\t\t%s;\n", Clock[c].sig_name);
    }
    declare_all(VDRV_INPUT, "output", "");

    section_head("  //  Inputs/Outputs\n");
    declare_all(VDRV_BIDIR, "inout", "_t");

    section_head("  //  Valids\n");
    declare_all(VDRV_VALID, nullptr, "");

    section_head("  //  Internal Variables\n");
    fputs("  integer\t\tfp;\n"
          "  integer\t\tdrv_adrs;\n"
          "  integer\t\tdrv_errors;\n"
          "  integer\t\tread_value;\n"
          "  reg\t[1:256*8]\tfilename;\n",
          stdout);
    printf("  reg\t[%d:0]\t\tmem_word;\n", narrow(MemWidth - 1LL));
    printf("  reg\t[%d:0]\t\tmem_word_nb;\n", narrow(MemWidth - 1LL));
    fputs("  event\t\tEndVectors;\n\n", stdout);
}

// The driver releases a bidirectional line while the device drives it.
void write_assigns() {
    section_head("  //  Assign bidirectional outputs\n");
    for (int i = nSigs - 1; i >= 0; i--) {
        const SigDef &s = Signal[i];
        if (s.type != VDRV_BIDIR) continue;
        if (is_bus(s))
            printf("  assign %s[%d:%d] = %s === %d ? %d'bz : %s_t[%d:%d];\n", s.sig_name, s.msb,
                   s.lsb, s.en_sig_name, s.polarity, s.size, s.sig_name, s.msb, s.lsb);
        else
            printf("  assign %s = %s ? 'bz : %s_t;\n", s.sig_name, s.en_sig_name, s.sig_name);
    }
}

void write_loader() {
    section_head("  //  Load Vector File\n");
    fputs("  initial\n"
          "  begin\n"
          "  if ($getstr$plusarg(\"mem=\", filename) == 1)\n"
          "    begin\n"
          "      fp = $open_mem_file(filename);\n"
          "      if (fp == 0)\n"
          "      begin\n"
          "        $write(\"Cannot open memory file\\n\");\n"
          "      end\n"
          "    end\n"
          "  end\n"
          "  initial drv_adrs = 0;\n"
          "  initial drv_errors = 0;\n",
          stdout);
}

void write_clocks() {
    section_head("  //  Generate Clock\n");
    for (int c = 0; c < nClocks; c++) {
        const ClockDef &k = Clock[c];
        fputs("  always\n  begin\n", stdout);
        for (int j = 0; j < k.phases; j++) {
            printf("    %s = %d;\n", k.sig_name, k.val[j]);
            printf("    #%d;\n", scaled_time(k.time[j]));
        }
        fputs("  end\n", stdout);
    }
}

// Inputs, valid registers and the driven side of bidirectional lines take
// their bits from the word just read.
void write_apply() {
    long long bit_pos = 0;
    for (int i = nSigs - 1; i >= 0; i--) {
        const SigDef &s = Signal[i];
        if (s.type != VDRV_OUTPUT) {
            const char *suffix = s.type == VDRV_BIDIR ? "_t" : "";
            int low = narrow(bit_pos);
            if (is_bus(s))
                printf("    %s%s[%d:%d] <= mem_word[%d:%d];\n", s.sig_name, suffix, s.msb, s.lsb,
                       narrow(bit_pos + s.size - 1), low);
            else
                printf("    %s%s <= mem_word[%d];\n", s.sig_name, suffix, low);
        }
        bit_pos += slot_width(s);
    }
}

void write_compare(const SigDef &s, int high, int low) {
    const bool bidir = s.type == VDRV_BIDIR;
    if (is_bus(s)) {
        if (!bidir && !s.valid)
            printf("    if(%s[%d:%d] !== mem_word_nb[%d:%d])\n", s.sig_name, s.msb, s.lsb, high,
                   low);
        else if (!bidir)
            printf("    if((%s[%d:%d] !== mem_word_nb[%d:%d]) && (%s === 1))\n", s.sig_name, s.msb,
                   s.lsb, high, low, s.val_sig_name);
        else if (!s.valid)
            printf("    if((%s[%d:%d] !== mem_word_nb[%d:%d]) && (%s === %d))\n", s.sig_name, s.msb,
                   s.lsb, high, low, s.en_sig_name, s.polarity);
        else
            printf("    if((%s[%d:%d] !== mem_word_nb[%d:%d]) && (%s === %d) && (%s === 1))\n",
                   s.sig_name, s.msb, s.lsb, high, low, s.en_sig_name, s.polarity, s.val_sig_name);
        fputs("    begin\n", stdout);
        printf("        $write(\"Time %%d, Vector %%d: Compare of %s[%d:%d] failed: "
               "is->%%x  %%x<-expected\\n\",  $time, drv_adrs, %s[%d:%d], mem_word_nb[%d:%d]);\n",
               s.sig_name, s.msb, s.lsb, s.sig_name, s.msb, s.lsb, high, low);
        fputs("        drv_errors = drv_errors + 1;\n", stdout);
    } else {
        if (!bidir && !s.valid)
            printf("    if(%s !== mem_word_nb[%d])\n", s.sig_name, low);
        else if (!bidir)
            printf("    if((%s !== mem_word_nb[%d]) && (%s === 1))\n", s.sig_name, low,
                   s.val_sig_name);
        else if (!s.valid)
            printf("    if((%s !== mem_word_nb[%d]) && (%s === %d))\n", s.sig_name, low,
                   s.en_sig_name, s.polarity);
        else
            printf("    if((%s !== mem_word_nb[%d]) && (%s === %d) && (%s === 1))\n", s.sig_name,
                   low, s.en_sig_name, s.polarity, s.val_sig_name);
        fputs("    begin\n", stdout);
        if (!bidir && !s.valid) {
            printf("        $write(\"Time %%d, Vector %%d:  Compare of %s failed: "
                   "is->%%x  %%x<-expected\\n\", $time, drv_adrs, %s, mem_word_nb[%d]);\n",
                   s.sig_name, s.sig_name, low);
            fputs("        drv_errors = drv_errors +1;\n", stdout);
        } else {
            printf("        $write(\"Time %%d, Vector %%d: Compare of %s failed: "
                   "is->%%x  %%x<-expected\\n\", $time, drv_adrs, %s, mem_word_nb[%d]);\n",
                   s.sig_name, s.sig_name, low);
            fputs("        drv_errors = drv_errors + 1;\n", stdout);
        }
    }
    fputs("    end\n", stdout);
}

// Outputs, and bidirectional lines while the device drives them, are
// compared against the word read at the previous edge (mem_word_nb).
void write_compares() {
    long long bit_pos = 0;
    for (int i = nSigs - 1; i >= 0; i--) {
        const SigDef &s = Signal[i];
        if (s.type == VDRV_OUTPUT || s.type == VDRV_BIDIR)
            write_compare(s, narrow(bit_pos + s.size - 1), narrow(bit_pos));
        bit_pos += slot_width(s);
    }
}

void write_run_test() {
    section_head("  //  Run Test\n");
    printf("  always @(posedge %s)\n", Clock[0].sig_name);
    fputs("  begin\n"
          "    read_value = $read_mem_file(fp, mem_word);\n"
          "    mem_word_nb <= mem_word;\n"
          "    //\n"
          "    //  Apply Vectors\n"
          "    //\n",
          stdout);
    write_apply();
    fputs("    //\n"
          "    //  Compare Outputs\n"
          "    //\n",
          stdout);
    write_compares();
    fputs("    drv_adrs = drv_adrs + 1;\n"
          "    if (read_value == -1)\n"
          "    begin\n"
          "      $write(\"number of errors: %d\\n\", drv_errors);\n"
          "      if(drv_errors > 0)\n"
          "        $write(\"ERROR IN SIMULATION\\n\");\n"
          "      -> EndVectors;\n"
          "    end\n"
          "  end\n"
          "endmodule\n",
          stdout);
}

} // namespace

// The whole module text, from the finished tables; needs at least one clock.
void write_module(const char *prog) {
    fputs("//\n", stdout);
    printf("//  This module created by %s.\n", prog);
    fputs("//\n", stdout);
    write_ports();
    write_declarations();
    write_assigns();
    write_loader();
    write_clocks();
    write_run_test();
}

int main(int argc, char **argv) {
    if (argc < 2) {
        printf("Usage: %s [-o <mem_file>] [-s ClkScale]  <infile.tab>\n", argv[0]);
        check_stdout();
        return 0;
    }
    int opt;
    while ((opt = getopt(argc, argv, "uo:s:")) != -1) {
        switch (opt) {
        case 'u':
            printf("Usage: %s [-o <mem_file>] <infile.tab>\n", argv[0]);
            check_stdout();
            exit(0);
        case 'o':
            if (Vecfp != nullptr) fclose(Vecfp);
            Vecfp = fopen(optarg, "w");
            if (Vecfp == nullptr) {
                perror(optarg);
                exit(1);
            }
            VecfpName = optarg;
            break;
        case 's':
            ClkScale = static_cast<float>(strtod(optarg, nullptr));
            break;
        default:
            break;
        }
    }
    if (Vecfp == nullptr) Vecfp = stderr;
    yyin = stdin;
    if (optind < argc) {
        txtin = fopen(argv[optind], "r");
        if (txtin == nullptr) {
            perror(argv[optind]);
            exit(1);
        }
        yyin = txtin;
    }

    yyparse();

    // The module is clocked by the first clock: without one there is no
    // module to write.
    if (nClocks == 0) fail(911, "ERROR: no clock declared, the driver module needs one\n");
    write_module(argv[0]);
    check_stdout();

    if (txtin != nullptr) fclose(txtin);
    // Standard error, when it is the memory file, is flushed but left open
    // for the message below.
    check_memory_file();
    bool written = fflush(Vecfp) == 0;
    int err = errno;
    if (Vecfp != stderr && fclose(Vecfp) != 0) {
        written = false;
        err = errno;
    }
    if (!written)
        fail(1, "ERROR: cannot write memory file %s: %s\n",
             VecfpName != nullptr ? VecfpName : "(standard error)", strerror(err));
    return 0;
}
