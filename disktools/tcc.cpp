// Check codes of a master data image: the first block's two regions, then the
// ROM and RAM areas read through one buffer.  See tcc.h for the state.
#include "tcc.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "country_code.h"
#include "table.h"

uint8_t fileBuffer[kFileBufferSize];
int remainInBuffer = 0;
const uint8_t *pointer = fileBuffer;

int32_t diskType;
int32_t romEndLBA;
int32_t ramStartLBA;
int32_t ramEndLBA;
uint32_t romSize;
uint32_t ramSize;

namespace {

constexpr int kBlockSize = 512;
constexpr int kLastLba = kLbasPerDisk - 1;

// Reads until n bytes have arrived or the file ends: a pipe or a signal may
// deliver fewer bytes than asked without the data being short.  Returns the
// bytes read; fewer than n means end of file or a read error.
size_t readFully(int fd, uint8_t *buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        ssize_t r = read(fd, buf + got, n - got);
        if (r > 0) {
            got += static_cast<size_t>(r);
        } else if (r == 0 || errno != EINTR) {
            break;
        }
    }
    return got;
}

void seekTo(int fd, off_t offset, const char *message) {
    if (lseek(fd, offset, SEEK_SET) != offset) dataError(message);
}

// Loads the next part of a file stream, at most a buffer, into fileBuffer.
void refillBuffer(stream_s *st) {
    if (st->start != -1) seekTo(st->infd, st->start, kReadError);
    const int n = std::min<int32_t>(st->count, kFileBufferSize);
    if (readFully(st->infd, fileBuffer, static_cast<size_t>(n)) != static_cast<size_t>(n))
        dataError(kReadError);
    remainInBuffer = n;
    if (st->start != -1) st->start += n;
    pointer = fileBuffer;
}

// A run of words whose keys do not wrap: a plain loop the compiler turns
// into vector code.
uint32_t addRun(const uint8_t *words, uint32_t nwords, uint32_t key, uint32_t sum) {
    for (uint32_t i = 0; i < nwords; ++i) {
        const uint32_t word = (uint32_t{words[2 * i]} << 8) | words[2 * i + 1];
        sum += (key + i) ^ word;
    }
    return sum;
}

unsigned readBigEndian16(const uint8_t *bytes) {
    return bytes[0] * 256u + bytes[1];
}

// The first block names the disk type and the LBA ranges of the two areas;
// none of them may lie outside the zone table.  An empty RAM area (end below
// start) holds no LBA and may name any start.
bool geometryFitsTable() {
    if (diskType > kDiskTypes - 1 || romEndLBA > kLastLba) return false;
    if (ramStartLBA != kNoRamArea && ramStartLBA <= ramEndLBA && ramEndLBA > kLastLba) return false;
    return true;
}

} // namespace

void dataError(const char *message) {
    std::fputs(message, stdout);
    std::exit(-1);
}

uint32_t calculate_tcc(TccGetter getter, void *src, uint32_t addr) {
    uint32_t tcc = 0;
    for (;;) {
        if (addr > kLastKey) addr = 0;
        const int32_t word = getter(src);
        if (word == -1) return tcc % kTccModulus;
        tcc += addr ^ static_cast<uint32_t>(word);
        ++addr;
    }
}

int32_t getHalfWordFromRam(void *p) {
    auto *st = static_cast<stream_s *>(p);
    if (st->count == 0) return -1;
    // A lone last byte cannot make a word; stop before reading past the stream.
    if (st->count < 2) dataError(kFormatError);
    const int32_t word = static_cast<int32_t>(readBigEndian16(st->addr));
    st->addr += 2;
    st->count -= 2;
    return word;
}

int32_t getHalfWordFromFile(void *p) {
    auto *st = static_cast<stream_s *>(p);
    if (st->count == 0) return -1;
    if (st->count < 0) dataError(kFormatError);
    if (remainInBuffer == 0) refillBuffer(st);
    const int32_t word = static_cast<int32_t>(readBigEndian16(pointer));
    pointer += 2;
    remainInBuffer -= 2;
    st->count -= 2;
    return word;
}

uint32_t tccAddWords(const uint8_t *words, size_t nwords, uint32_t *key, uint32_t sum) {
    uint32_t k = *key > kLastKey ? 0 : *key;
    while (nwords > 0) {
        const uint32_t run = static_cast<uint32_t>(std::min<size_t>(nwords, kLastKey + 1 - k));
        sum = addRun(words, run, k, sum);
        words += 2 * size_t{run};
        nwords -= run;
        k += run;
        if (k > kLastKey) k = 0;
    }
    *key = k;
    return sum;
}

uint32_t calculateFileTcc(stream_s *st, uint32_t addr) {
    uint32_t tcc = 0;
    for (;;) {
        if (st->count == 0) return tcc % kTccModulus;
        if (st->count < 0) dataError(kFormatError);
        if (remainInBuffer == 0) refillBuffer(st);
        // Refills never split a word, so a single byte left is the odd end
        // of the stream, which the word getter reports as a format error.
        const int32_t bytes = std::min<int32_t>(remainInBuffer, st->count);
        if (bytes < 2) dataError(kFormatError);
        const int32_t nwords = bytes / 2;
        tcc = tccAddWords(pointer, static_cast<size_t>(nwords), &addr, tcc);
        pointer += 2 * nwords;
        remainInBuffer -= 2 * nwords;
        st->count -= 2 * nwords;
    }
}

void checkMaster(int ifd) {
    // Bytes 0-3 and 8-11 of a master image are zero, bytes 28-31 are not.
    static const struct {
        off_t offset;
        bool mustBeZero;
    } markers[] = {{0, true}, {8, true}, {28, false}};
    for (const auto &marker : markers) {
        uint8_t bytes[4];
        seekTo(ifd, marker.offset, kReadError);
        if (readFully(ifd, bytes, sizeof bytes) != sizeof bytes) dataError(kReadError);
        const bool zero = std::all_of(bytes, bytes + 4, [](uint8_t b) { return b == 0; });
        if (zero != marker.mustBeZero) dataError(kNotMasterData);
    }
}

uint32_t calcSystemIdTcc(int ifd) {
    if (readFully(ifd, fileBuffer, kBlockSize) != kBlockSize) dataError(kBlockReadError);
    diskType = fileBuffer[5] & 0x0F;
    romEndLBA = static_cast<int32_t>(readBigEndian16(fileBuffer + 224));
    ramStartLBA = static_cast<int32_t>(readBigEndian16(fileBuffer + 226));
    ramEndLBA = static_cast<int32_t>(readBigEndian16(fileBuffer + 228));

    // The distribution code picks word distCode + 7 of the country table:
    // only codes whose word exists are accepted.
    const uint32_t distCode = fileBuffer[488];
    if (distCode > 17 || distCode + 7 >= countryCode.size()) dataError(kFormatError);
    if (!geometryFitsTable()) dataError(kFormatError);

    const uint32_t countCode = (countryCode[distCode + 7] - (distCode + 1) * 4096) ^ countCodeXor;
    for (int i = 0; i < 4; ++i)
        fileBuffer[i] = static_cast<uint8_t>(countCode >> (8 * i));
    std::memset(fileBuffer + 264, 0, 16);

    // Keys 0, 116 and 232 (the ROM area's) continue one another, as if the
    // two regions and the ROM area were one sequence of words.
    stream_s low = {fileBuffer, -1, -1, 232};
    stream_s high = {fileBuffer + 256, -1, -1, 232};
    const uint32_t lowTcc = calculate_tcc(getHalfWordFromRam, &low, 0);
    return lowTcc + calculate_tcc(getHalfWordFromRam, &high, 116);
}

uint32_t calcRomTcc(int ifd) {
    romSize = static_cast<uint32_t>(blk2Sz(diskType, 0, romEndLBA + 1));
    stream_s st = {nullptr, ifd, kBlockSize, static_cast<int32_t>(romSize)};
    return calculateFileTcc(&st, 232);
}

uint32_t calcRamTcc(int ifd) {
    // The RAM area follows the ROM area in the file, whatever LBA it starts
    // at on the disk.  An end below the start leaves it empty.
    const int32_t nlbas = ramEndLBA - ramStartLBA + 1;
    ramSize = nlbas > 0 ? static_cast<uint32_t>(blk2Sz(diskType, ramStartLBA, nlbas)) : 0;
    stream_s st = {nullptr, ifd, static_cast<int>(kBlockSize + romSize),
                   static_cast<int32_t>(ramSize)};
    return calculateFileTcc(&st, 0);
}
