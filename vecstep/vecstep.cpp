// vecstep: the command line and the run.
//
//   vecstep [-o outfile] [-c] [-v] [-d n] [-p n] [-t x] [-u] [infile]
//
// Options take effect in the order given (-o creates its file at once, -u
// ends the run there).  The script goes to the -o file, else to standard
// error; the table comes from infile, else from standard input.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "vecstep.h"

namespace {

[[noreturn]] void usage(const char *prog) {
    printf("Usage: %s [-o <outfile>] [-c] [-v] [-d <#clocks>] [-p <flt_prec>] [-t <#clocks>]  "
           "infile\n",
           prog);
    fputs("  -o <outfile> is name of output sim file including extension\n"
          "  -d <#clocks> is number of clocks between number of cycles print (default 20)\n"
          "  -t <#clocks> is number of clocks before allowing testing (based on the frequency "
          "of the vectors)\n"
          "  -p <flt_prec> is number of digits to use for float precision in prints "
          "(default 2)\n"
          "  -c disables echoing of comments from .tab file\n"
          "  -v sample signals the way Verilog does\n",
          stdout);
    if (fflush(stdout) != 0 || ferror(stdout)) {
        perror("standard output");
        exit(1);
    }
    exit(0);
}

// The digits at the start of the text as a decimal int (0 if none), like
// atoi but without overflow: values beyond int saturate.
int decimal_int(const char *s) {
    errno = 0;
    long v = strtol(s, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return (int)v;
}

constexpr const char *ScriptHead = "####################################################\n"
                                   "#  this file produced by vecstep                   #\n"
                                   "#                                                  #\n"
                                   "#  vecstep written by Tamsk                        #\n"
                                   "#  Orvanta, Inc.                                   #\n"
                                   "#  November  1994                                  #\n"
                                   "####################################################\n"
                                   "\n"
                                   "alias i inputs\n"
                                   "alias c charged\n"
                                   "alias t test\n\n"
                                   "forced high vdd\n"
                                   "forced low vss\n\n";

} // namespace

int main(int argc, char **argv) {
    if (argc == 1) usage(argv[0]);

    int opt;
    while ((opt = getopt(argc, argv, "ucvo:d:p:t:")) != -1) {
        switch (opt) {
        case 'o':
            script_open(optarg);
            break;
        case 'c':
            EchoComments = 0;
            break;
        case 'v':
            VerilogMode = 1;
            break;
        case 'd':
            Clocks2Dump = decimal_int(optarg);
            if (Clocks2Dump <= 0) Clocks2Dump = 1;
            break;
        case 'p':
            FloatPrec = decimal_int(optarg);
            if (FloatPrec > MaxFloatPrec)
                fatal(1, "vecstep: -p %s: at most %d decimals\n", optarg, MaxFloatPrec);
            break;
        case 't': {
            float t = (float)strtod(optarg, nullptr);
            Clocks2Test = (std::isnan(t) || t < 0.0f) ? 0.0f : t;
            break;
        }
        case 'u':
            usage(argv[0]);
        default:
            break; // getopt has written its diagnostic
        }
    }
    if (optind < argc) input_open(argv[optind]);

    out_str(ScriptHead);
    yyparse();
    if (StepTime != 0.0f) {
        out_mem("s ", 2);
        out_time(StepTime);
        out_char('\n');
    }
    input_close();
    script_close();
    return 0;
}
