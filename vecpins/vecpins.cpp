// vecpins: command line, table file and tester program.
//
// The run: options, table file (-o, else standard error), parse of the
// whole input (the grammar actions fill the tables and write the table file
// as rows end), then the tester program on standard output.
#include "vecpins.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

SigDef Signal[kMaxSigs + 1];
int nSigs;
ClockDef Clock[kMaxClocks + 1];
int nClocks;
char VecArray[kMaxSigs][kNameSize];
long long nVecs;
FILE *Vecfp;
const char *InputName = "standard input";

namespace {

// Name that the program gives the table: the -o argument cut at its last
// dot; without -o, the input file's name without its folders, cut the same
// way, or "table" when the input is standard input or that leaves nothing.
std::string outfilename;
std::string tablefilename; // the -o argument, for messages
float clkscale = 1.0f;

std::string cut_at_last_dot(const char *name) {
    std::string s = name;
    std::size_t dot = s.rfind('.');
    if (dot != std::string::npos) s.erase(dot);
    return s;
}

// Ends the run when a stream has failed, naming the stream and the reason.
void check_stream(FILE *fp, const char *what) {
    if (std::fflush(fp) != 0 || std::ferror(fp)) {
        int err = errno;
        fail(1, "Error writing %s: %s\n", what, err ? std::strerror(err) : "write error");
    }
}

std::string table_stream_name() {
    return tablefilename.empty() ? std::string("the table file (standard error)")
                                 : "the table file " + tablefilename;
}

} // namespace

void write_pin_order() {
    std::fputs("PINORDER ", Vecfp);
    for (int i = 0; i < nSigs; i++) {
        if (Signal[i].hex_dig != 0) std::fputs("'h", Vecfp);
        std::fputs(Signal[i].sig_name, Vecfp);
        std::fputc(i == nSigs - 1 ? ';' : ',', Vecfp);
        std::fputc(' ', Vecfp);
    }
    std::fputc('\n', Vecfp);
}

void write_row() {
    for (int i = 0; i < nSigs; i++) {
        std::fputs(VecArray[i], Vecfp);
        std::fputc(' ', Vecfp);
    }
    std::fputs(";\n", Vecfp);
    // A full disk would otherwise only show at the end of a long table.
    if (std::ferror(Vecfp)) check_stream(Vecfp, table_stream_name().c_str());
}

namespace {

// Exact product of the clock scale and a time, truncated toward zero.  The
// scale is split into a 24-bit integer mantissa and a power of two, so the
// product is formed in integers without rounding.  Returns false when the
// result does not fit a 32-bit int (or the scale is not a finite number).
bool scaled_time(float scale, long long t, int *out) {
    if (!std::isfinite(scale)) return false;
    if (scale == 0.0f || t == 0) {
        *out = 0;
        return true;
    }
    int exp = 0;
    float frac = std::frexp(scale, &exp);
    long long mant = static_cast<long long>(std::ldexp(frac, 24)); // |mant| < 2^24
    int shift = exp - 24;
    bool negative = (mant < 0) != (t < 0);
    unsigned long long a = static_cast<unsigned long long>(mant < 0 ? -mant : mant) *
                           static_cast<unsigned long long>(t < 0 ? -t : t); // < 2^60
    unsigned long long limit = negative ? 2147483648ULL : 2147483647ULL;
    unsigned long long mag;
    if (shift >= 0) {
        if (shift >= 32 || a > (limit >> shift)) return false;
        mag = a << shift;
    } else {
        mag = (-shift >= 64) ? 0 : a >> -shift;
    }
    if (mag > limit) return false;
    *out = negative ? static_cast<int>(-static_cast<long long>(mag)) : static_cast<int>(mag);
    return true;
}

struct Times {
    int cycle;
    int pulse[kMaxClocks];
};

// The cycle time comes from the first clock's period (its record is all
// zero when no clock was declared); every clock's pulse is its first phase.
Times program_times() {
    Times t{};
    long long period = 0;
    for (int i = 0; i < Clock[0].phases && i < kMaxPhases; i++)
        period += Clock[0].time[i];
    if (!scaled_time(clkscale, period, &t.cycle))
        fail(1, "Error: cycle time of %lld ns scaled by %g does not fit a 32-bit integer\n", period,
             static_cast<double>(clkscale));
    for (int k = 0; k < nClocks; k++)
        if (!scaled_time(clkscale, Clock[k].time[0], &t.pulse[k]))
            fail(1,
                 "Error: pulse time of clock %s, %d ns scaled by %g, does not fit a 32-bit "
                 "integer\n",
                 Clock[k].sig_name, Clock[k].time[0], static_cast<double>(clkscale));
    return t;
}

void heading(FILE *fp, const char *title) {
    std::fprintf(fp, "#\n#  %s\n#\n", title);
}

bool is_bus(const SigDef &s) {
    return s.hex_dig != 0;
}

// The table line and the "<-" or "->" transfer between pin and table.
void table_line(FILE *fp, const char *table) {
    std::fprintf(fp, "    setTable(\"%s\", i);\n", table);
}

void transfer(FILE *fp, const char *indent, const char *pin, const char *dir, const char *table,
              const char *column) {
    std::fprintf(fp, "%s\"%s\" %s getTable (\"%s\", \"%s\") CYCLE i;\n", indent, pin, dir, table,
                 column);
}

void write_program(FILE *fp, const char *prog, const Times &t) {
    const char *table = outfilename.c_str();

    std::fprintf(fp, "#\n#  This module created by %s.\n#\n", prog);
    std::fputs("GLOBAL\n\nCONSTANT\nref_time\t= 0 ns,\n", fp);
    std::fprintf(fp, "cycle_time\t= %dns;\n\n", t.cycle);
    std::fputs("DURATION cycle_time;\n\n", fp);
    for (int k = 0; k < nClocks; k++)
        std::fprintf(fp, "RTZ\t\"%s\" EDGE 0ns %dns;\n", Clock[k].sig_name, t.pulse[k]);

    heading(fp, "Buses");
    for (int i = 0; i < nSigs; i++)
        if (is_bus(Signal[i]) && Signal[i].type != VPIN_VALID)
            std::fprintf(fp, "BUS\t\"%s\";\n", Signal[i].sig_name);
    heading(fp, "Valids");
    for (int i = 0; i < nSigs; i++)
        if (!is_bus(Signal[i]) && Signal[i].type == VPIN_VALID)
            std::fprintf(fp, "INTERNAL\t\"v_%s\";\n", Signal[i].sig_name);
    heading(fp, "Inputs");
    for (int i = 0; i < nSigs; i++)
        if (Signal[i].type == VPIN_INPUT)
            std::fprintf(fp, "INPUT\t\"%s\"\tEDGE\t%dns;\n", Signal[i].sig_name, Signal[i].edge);
    heading(fp, "Outputs");
    for (int i = 0; i < nSigs; i++)
        if (Signal[i].type == VPIN_OUTPUT)
            std::fprintf(fp, "OUTPUT\t\"%s\"\tSTROBE\t%dns;\n", Signal[i].sig_name,
                         Signal[i].strobe);
    heading(fp, "Bidirects");
    for (int i = 0; i < nSigs; i++) {
        const SigDef &s = Signal[i];
        if (s.type == VPIN_BIDIR)
            std::fprintf(fp, "BIDIR\t\"%s\"\tEDGE\t%dns\tSTROBE\t%dns\tENABLE%c\t%s;\n", s.sig_name,
                         s.edge, s.strobe, s.polarity == 0 ? 'B' : ' ', s.en_sig_name);
    }
    std::fputs("\nGLOBALEND;\n\n", fp);

    heading(fp, "Read Table Values");
    std::fputs("BLOCK  doTest;\nVARIABLE i;\n", fp);
    std::fprintf(fp, "  for i := 1 upto %lld do begin\n", nVecs);
    for (int i = 0; i < nSigs; i++) {
        const SigDef &s = Signal[i];
        if (s.type != VPIN_INPUT) continue;
        table_line(fp, table);
        transfer(fp, "    ", s.sig_name, "<-", table, s.sig_name);
    }
    for (int i = 0; i < nSigs; i++) {
        const SigDef &s = Signal[i];
        if (is_bus(s) || s.type != VPIN_VALID) continue;
        table_line(fp, table);
        std::string internal = std::string("v_") + s.sig_name;
        transfer(fp, "    ", internal.c_str(), "<-", table, s.sig_name);
    }
    for (int i = 0; i < nSigs; i++) {
        const SigDef &s = Signal[i];
        if (s.type != VPIN_OUTPUT) continue;
        table_line(fp, table);
        if (s.valid == 0) {
            transfer(fp, "    ", s.sig_name, "->", table, s.sig_name);
        } else {
            std::fprintf(fp, "    if ( \"v_%s\" = 1 ) then \n    begin\n", s.val_sig_name);
            transfer(fp, "      ", s.sig_name, "->", table, s.sig_name);
            std::fputs("    end;\n", fp);
        }
    }
    for (int i = 0; i < nSigs; i++) {
        const SigDef &s = Signal[i];
        if (s.type != VPIN_BIDIR) continue;
        table_line(fp, table);
        if (s.valid == 0)
            std::fprintf(fp, "    if ( \"%s\" = %d ) then \n", s.en_sig_name, s.polarity);
        else
            std::fprintf(fp, "    if ( \"%s\" = %d AND \"v_%s\" = 1 ) then \n", s.en_sig_name,
                         s.polarity, s.val_sig_name);
        std::fputs("    begin\n", fp);
        transfer(fp, "      ", s.sig_name, "->", table, s.sig_name);
        std::fputs("    end\n", fp);
        std::fprintf(fp, "    else if ( \"%s\" = %d ) then \n", s.en_sig_name, 1 - s.polarity);
        std::fputs("    begin\n", fp);
        transfer(fp, "      ", s.sig_name, "<-", table, s.sig_name);
        std::fputs("    end;\n", fp);
    }
    std::fputs("  end;\nBLOCKEND;\n\n", fp);

    std::fputs("MAIN\n", fp);
    for (int k = 0; k < nClocks; k++)
        std::fprintf(fp, "  \"%s\" <- RTZON;\n", Clock[k].sig_name);
    std::fputs("  doTest;\nMAINEND;\n", fp);
}

FILE *open_or_fail(const char *name, const char *mode) {
    FILE *fp = std::fopen(name, mode);
    if (fp == nullptr) {
        std::perror(name);
        std::exit(1);
    }
    return fp;
}

} // namespace

int main(int argc, char **argv) {
    if (argc <= 1) {
        std::printf("Usage: %s [-o <mem_file.tbl>] [-s ClkScale]  <infile.tab>\n", argv[0]);
        return 0;
    }

    FILE *table_fp = nullptr;
    int opt;
    while ((opt = getopt(argc, argv, "uo:s:")) != -1) {
        switch (opt) {
        case 'o':
            if (table_fp != nullptr) std::fclose(table_fp);
            table_fp = open_or_fail(optarg, "w");
            tablefilename = optarg;
            outfilename = cut_at_last_dot(optarg);
            break;
        case 's':
            clkscale = static_cast<float>(std::strtod(optarg, nullptr));
            break;
        case 'u':
            std::printf("Usage: %s [-o outfile] infile", argv[0]);
            return 0;
        default: // getopt has reported it
            break;
        }
    }
    Vecfp = table_fp != nullptr ? table_fp : stderr;

    FILE *txtin = nullptr;
    if (optind < argc) {
        txtin = open_or_fail(argv[optind], "r");
        InputName = argv[optind];
        if (table_fp == nullptr) {
            const char *slash = std::strrchr(argv[optind], '/');
            outfilename = cut_at_last_dot(slash != nullptr ? slash + 1 : argv[optind]);
        }
    }
    if (table_fp == nullptr && outfilename.empty()) outfilename = "table";
    yyin = txtin != nullptr ? txtin : stdin;

    yyparse();
    // The table is complete: a program for a table that could not be
    // written would be of no use.
    check_stream(Vecfp, table_stream_name().c_str());

    Times times = program_times();
    write_program(stdout, argv[0], times);
    check_stream(stdout, "the tester program (standard output)");

    if (txtin != nullptr) std::fclose(txtin);
    if (table_fp != nullptr && std::fclose(table_fp) != 0)
        fail(1, "Error writing %s: %s\n", table_stream_name().c_str(), std::strerror(errno));
    return 0;
}
