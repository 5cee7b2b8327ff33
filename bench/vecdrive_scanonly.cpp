// The vecdrive scanner alone: reads a vector table to the end and does
// nothing with the tokens.  bench_converters.sh measures vecdrive against it.
#include <cstdio>

#include "vecdrive.h"
#include "vecdrive_gram.h"

int line_num;
int VectorPhase;
YYSTYPE yylval;

int main(int argc, char **argv) {
    if (argc > 1) {
        yyin = fopen(argv[1], "r");
        if (yyin == nullptr) {
            perror(argv[1]);
            return 1;
        }
    }
    // Numbers carry their text from the first empty line on, as in vecdrive.
    bool line_start = true;
    long tokens = 0;
    for (int tok; (tok = yylex()) != 0; tokens++) {
        if (tok == EOL && line_start) VectorPhase = 1;
        line_start = tok == EOL;
    }
    printf("%ld tokens\n", tokens);
    return 0;
}
