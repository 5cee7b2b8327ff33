// Replay launcher: runs TOOL on one saved fuzz input with the command line
// that the fuzzing shim would have made from it.
//
//   fuzz_args MODE TOOL INPUT
#include "input_args.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fuzz_args opts|words TOOL INPUT\n");
        return 2;
    }
    std::vector<std::string> args = fuzzargs::command_line(argv[1], argv[2], argv[3]);
    std::vector<char *> ptrs;
    for (auto &a : args)
        ptrs.push_back(a.data());
    ptrs.push_back(nullptr);
    execv(argv[2], ptrs.data());
    std::perror(argv[2]);
    return 2;
}
