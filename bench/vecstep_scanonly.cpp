// The floor of the vecstep benchmark: vecstep's own scanner reading a table
// to the end, with nothing parsed and nothing written.  The first empty line
// switches the scanner to the vector section, as the parser would.
//
//   vecstep_scanonly table.tab
#include <cstdio>

#include "vecstep.h"
#include "vecstep_gram.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s table.tab\n", argv[0]);
        return 1;
    }
    EchoComments = 0;
    input_open(argv[1]);
    long tokens = 0;
    bool line_start = true;
    for (int tok; (tok = yylex()) != 0; tokens++) {
        if (tok == EOL) {
            if (line_start) VectorPhase = 1;
            line_start = true;
        } else {
            line_start = false;
        }
    }
    input_close();
    printf("%ld tokens, %d lines\n", tokens, line_num);
    return 0;
}
