// sz2blk / blk2sz: converts between byte counts and runs of LBAs on a Morvane
// disk.  One executable, installed under both names; the name it is invoked
// under (without its directory) picks the mode and prefixes every message.
// All state is local to main; the geometry comes from the zone table.
#include <cinttypes>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "command_name.h"
#include "table.h"

namespace {

enum Mode { kBytesToLbas = 0, kLbasToBytes = 1 };

const char *const kUsage[] = {
    "Usage: sz2blk type startLBA nbytes\n"
    "Calculate how many LBAs are equivalent to <nbytes> from <startLBA>\n",
    "Usage: blk2sz type startLBA nlbas\n"
    "Calculate how many bytes are equivalent to <nlbas> from <startLBA>\n",
};

[[noreturn]] __attribute__((format(printf, 1, 2))) void fail(const char *format, ...) {
    va_list ap;
    va_start(ap, format);
    std::vfprintf(stderr, format, ap);
    va_end(ap);
    std::exit(-1);
}

// Reads an argument as strtol does with base 0 (decimal, 0 octal, 0x hex;
// trailing text ignored, no digits read as 0), clamped to 32 bits.
int32_t readNumber(const char *text) {
    long value = std::strtol(text, nullptr, 0);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

} // namespace

int main(int argc, char **argv) {
    const char *cmdName = commandName(argc, argv);
    int dir;
    if (std::strcmp(cmdName, "sz2blk") == 0) {
        dir = kBytesToLbas;
    } else if (std::strcmp(cmdName, "blk2sz") == 0) {
        dir = kLbasToBytes;
    } else {
        // Installed only as sz2blk and blk2sz; under any other name the mode
        // is unknown, so show both.
        fail("%s%s", kUsage[kBytesToLbas], kUsage[kLbasToBytes]);
    }
    if (argc != 4) fail("%s", kUsage[dir]);

    const int32_t type = readNumber(argv[1]);
    if (type < 0 || type > kDiskTypes - 1)
        fail("%s: type is illegal. It must be in [0-6]\n", cmdName);
    const int32_t startLBA = readNumber(argv[2]);
    if (startLBA < 0 || startLBA > kLbasPerDisk - 1)
        fail("%s: startLBA is illegal. It must be in [0-4291]\n", cmdName);
    const int32_t num = readNumber(argv[3]);

    int32_t answer;
    if (dir == kBytesToLbas) {
        const int32_t remain = blk2Sz(type, startLBA, kLbasPerDisk - startLBA);
        if (remain < num)
            fail("%s: There are only %d bytes from LBA%d to 4291\n", cmdName, remain, startLBA);
        answer = sz2Blk(type, startLBA, num);
    } else {
        // Wide enough that a huge count cannot wrap the end LBA back into range.
        const int64_t endLBA = int64_t{startLBA} + num - 1;
        if (endLBA > kLbasPerDisk - 1)
            fail("%s: End LBA(%" PRId64 ") is illegal. It must be in [0-4291]\n", cmdName, endLBA);
        answer = blk2Sz(type, startLBA, num);
    }

    std::printf("%d\n", answer);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        fail("%s: can't write standard output\n", cmdName);
    return 0;
}
