// The name a disk tool was invoked under, as its messages show it.
#pragma once

#include <cstring>

// The first command-line word without its directory: the text after its last
// '/', or the whole word.  A program started without any words gets "".
inline const char *commandName(int argc, char **argv) {
    if (argc < 1 || argv[0] == nullptr) return "";
    const char *slash = std::strrchr(argv[0], '/');
    return slash ? slash + 1 : argv[0];
}
