// tccsum: prints the ROM and RAM check codes of a Morvane master data image.
// The command line is scanned by hand (options only before the file name);
// the image is opened read-only and read once, front to back, by the steps
// in tcc.cpp.  Nothing is printed on standard output before both areas have
// been read, so a damaged image never yields a partial answer.
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "command_name.h"
#include "tcc.h"

namespace {

const char *command_name = "";
const char *masterFileName = "master.mrv";

void printVersion() {
    std::fprintf(stderr, "TCC calculator for Morvane ver.%s\n\n", "1.11");
}

void usage() {
    std::fprintf(stderr, "usage: %s [masterData]\n", command_name);
    std::fputs("     calculate TCC (Tarvex Check Code) of master data\n", stderr);
}

void help() {
    std::fputs("\n   If [masterData] is ommitted, master.mrv will be used\n", stderr);
}

void printTcc(const char *area, uint32_t tcc) {
    std::printf("%s TCC is %03u-%03u\n", area, tcc / 1000, tcc % 1000);
}

} // namespace

int main(int argc, char **argv) {
    command_name = commandName(argc, argv);

    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (argv[arg][1] == '\0') continue; // a lone "-" is skipped
        printVersion();
        usage();
        if (argv[arg][1] == 'h') {
            help();
            return 0;
        }
        return 1;
    }
    if (argc - arg > 1) {
        printVersion();
        usage();
        return 1;
    }
    if (argc - arg == 1) masterFileName = argv[arg];

    printVersion();
    std::fprintf(stderr, "master file name = %s\n", masterFileName);
    const int ifd = open(masterFileName, O_RDONLY);
    if (ifd < 0) {
        std::fprintf(stderr, "%s: can't open input file\n", command_name);
        return 1;
    }

    checkMaster(ifd);
    if (lseek(ifd, 0, SEEK_SET) != 0) dataError(kBlockReadError);
    uint32_t romTcc = calcSystemIdTcc(ifd);
    romTcc = (romTcc + calcRomTcc(ifd)) % kTccModulus;
    const bool ramUsed = ramStartLBA != kNoRamArea;
    const uint32_t ramTcc = ramUsed ? calcRamTcc(ifd) : 0;

    printTcc("rom", romTcc);
    if (ramUsed)
        printTcc("ram", ramTcc);
    else
        std::fputs("ram area is not used\n", stdout);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s: can't write standard output\n", command_name);
        return 1;
    }

    if (close(ifd) != 0) {
        std::fprintf(stderr, "%s: can't close output file\n", command_name);
        return 1;
    }
    return 0;
}
