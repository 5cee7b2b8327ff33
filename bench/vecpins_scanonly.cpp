// Runs the vecpins scanner alone over a vector table and prints how many
// tokens and lines it saw: the yardstick for the cost of parsing and writing
// in bench_converters.sh.
//
//   vecpins_scanonly [infile]
#include "vecpins.h"

#include <cstdio>

NameType yylval;
const char *InputName = "standard input";

int main(int argc, char **argv) {
    if (argc > 1) {
        InputName = argv[1];
        yyin = std::fopen(argv[1], "r");
        if (yyin == nullptr) {
            std::perror(argv[1]);
            return 1;
        }
    } else {
        yyin = stdin;
    }
    long long tokens = 0;
    long long lines = 0;
    long long text = 0;
    for (int tok; (tok = yylex()) != 0;) {
        tokens++;
        if (tok == 258) lines++; // EOL
        text += yylval.len;
    }
    std::printf("%lld tokens, %lld lines, %lld value characters\n", tokens, lines, text);
    return 0;
}
