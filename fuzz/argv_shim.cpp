// Linked into the instrumented tools of the fuzz build only (with
// -Wl,--wrap=main): when FUZZ_ARGS names a mode, the command line is made
// from the input file given as the only argument, so that options and
// invocation names are fuzzed too.  Without FUZZ_ARGS the tool runs as is.
#include "input_args.h"

#include <cstdlib>

extern "C" int __real_main(int argc, char **argv);

extern "C" int __wrap_main(int argc, char **argv) {
    const char *mode = std::getenv("FUZZ_ARGS");
    if (!mode || argc != 2) return __real_main(argc, argv);
    static std::vector<std::string> args = fuzzargs::command_line(mode, argv[0], argv[1]);
    static std::vector<char *> ptrs;
    for (auto &a : args)
        ptrs.push_back(a.data());
    ptrs.push_back(nullptr);
    return __real_main(static_cast<int>(args.size()), ptrs.data());
}
