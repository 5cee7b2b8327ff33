// Check-code arithmetic: known sums, the buffered loop against the plain
// word-by-word one, the file reader, and the checks of the first block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <fcntl.h>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tcc.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (uint8_t &x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

Bytes repeatedWord(size_t nwords, uint16_t word) {
    Bytes b;
    for (size_t i = 0; i < nwords; ++i) {
        b.push_back(static_cast<uint8_t>(word >> 8));
        b.push_back(static_cast<uint8_t>(word));
    }
    return b;
}

// The plain definition, one word at a time: returns the unreduced 32-bit sum
// and leaves *key at the key of the next word.
uint32_t plainSum(const uint8_t *bytes, size_t nwords, uint32_t *key) {
    uint32_t sum = 0;
    uint32_t k = *key;
    for (size_t i = 0; i < nwords; ++i) {
        if (k > 0xFFF0) k = 0;
        sum += k ^ (bytes[2 * i] * 256u + bytes[2 * i + 1]);
        ++k;
    }
    *key = k > 0xFFF0 ? 0 : k;
    return sum;
}

uint32_t memoryTcc(const Bytes &b, uint32_t key) {
    stream_s st = {b.data(), -1, -1, static_cast<int32_t>(b.size())};
    return calculate_tcc(getHalfWordFromRam, &st, key);
}

// A scratch file, unlinked at once so that nothing is left behind even by
// a death test's child, which exits without running destructors.
struct TempFile {
    int fd = -1;
    explicit TempFile(const Bytes &contents) {
        char name[] = "/tmp/tcc_testXXXXXX";
        fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        unlink(name);
        EXPECT_EQ(write(fd, contents.data(), contents.size()),
                  static_cast<ssize_t>(contents.size()));
    }
    ~TempFile() { close(fd); }
};

TEST(CalculateTcc, KnownSums) {
    struct Case {
        const char *what;
        Bytes words;
        uint32_t tcc;
    } const cases[] = {
        {"words 1 and 2", {0x00, 0x01, 0x00, 0x02}, 4},
        {"65521 zero words", repeatedWord(65521, 0), 467960},
        {"65522 zero words", repeatedWord(65522, 0), 467960},
        {"65523 zero words", repeatedWord(65523, 0), 467961},
        {"200000 words 0xFFFF", repeatedWord(200000, 0xFFFF), 724058},
        {"no words", {}, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(memoryTcc(c.words, 0), c.tcc) << c.what;
}

TEST(CalculateTcc, KeyAboveTheLastStartsAtZero) {
    const Bytes b = randomBytes(64, 7);
    for (uint32_t key : {65521u, 65535u, 100000u})
        EXPECT_EQ(memoryTcc(b, key), memoryTcc(b, 0));
}

// The buffered loop splits a buffer into runs between wrap points; start it at
// every key that puts the wrap at each word of the buffer, and at keys far
// from a wrap.
TEST(TccAddWords, MatchesThePlainLoopAtEveryWrapPosition) {
    constexpr size_t kWords = 700;
    const Bytes b = randomBytes(2 * kWords, 65521);
    std::vector<uint32_t> keys = {0, 1, 116, 232, 65521, 65535};
    for (uint32_t k = 0xFFF0 - kWords; k <= 0xFFF0; ++k)
        keys.push_back(k);
    for (uint32_t start : keys) {
        uint32_t plainKey = start;
        uint32_t fastKey = start;
        const uint32_t want = plainSum(b.data(), kWords, &plainKey);
        ASSERT_EQ(tccAddWords(b.data(), kWords, &fastKey, 0), want) << "start key " << start;
        ASSERT_EQ(fastKey, plainKey) << "start key " << start;
    }
}

TEST(TccAddWords, MatchesThePlainLoopForShortAndLongBuffers) {
    const Bytes b = randomBytes(2 * 140000, 9);
    std::vector<size_t> lengths = {140000, 65521, 65522, 4096, 4097};
    for (size_t n = 0; n <= 40; ++n)
        lengths.push_back(n);
    for (size_t n : lengths)
        for (uint32_t start : {0u, 7u, 65500u, 65520u}) {
            uint32_t plainKey = start;
            uint32_t fastKey = start;
            const uint32_t want = plainSum(b.data(), n, &plainKey);
            ASSERT_EQ(tccAddWords(b.data(), n, &fastKey, 0), want) << n << " words from " << start;
            ASSERT_EQ(fastKey, plainKey) << n << " words from " << start;
        }
}

TEST(TccAddWords, PiecesCarryKeyAndSum) {
    const Bytes b = randomBytes(2 * 200000, 11);
    uint32_t wholeKey = 232;
    const uint32_t whole = plainSum(b.data(), 200000, &wholeKey);
    std::mt19937 rng(3);
    uint32_t key = 232;
    uint32_t sum = 0;
    for (size_t done = 0; done < 200000;) {
        const size_t n = std::min<size_t>(200000 - done, rng() % 30000);
        sum = tccAddWords(b.data() + 2 * done, n, &key, sum);
        done += n;
    }
    EXPECT_EQ(sum, whole);
    EXPECT_EQ(key, wholeKey);
}

// A file stream read a buffer at a time gives the word getter's result, for
// areas shorter than, equal to and longer than the buffer.
TEST(CalculateFileTcc, MatchesTheWordGetter) {
    const Bytes image = randomBytes(512 + 300000, 21);
    const TempFile file(image);
    for (int32_t size : {0, 2, 20478, 20480, 20482, 40960, 131054, 300000}) {
        stream_s fast = {nullptr, file.fd, 512, size};
        stream_s plain = {nullptr, file.fd, 512, size};
        const uint32_t want = calculate_tcc(getHalfWordFromFile, &plain, 232);
        EXPECT_EQ(calculateFileTcc(&fast, 232), want) << size << " bytes";
        EXPECT_EQ(remainInBuffer, 0);
        EXPECT_EQ(fast.count, 0);
    }
}

// Two areas one after the other, as the ROM and RAM areas are read.
TEST(CalculateFileTcc, ConsecutiveAreasStartAtTheirOwnOffsets) {
    const Bytes image = randomBytes(512 + 50000 + 30000, 22);
    const TempFile file(image);
    stream_s rom = {nullptr, file.fd, 512, 50000};
    stream_s ram = {nullptr, file.fd, 512 + 50000, 30000};
    const uint32_t romTcc = calculateFileTcc(&rom, 232);
    const uint32_t ramTcc = calculateFileTcc(&ram, 0);
    EXPECT_EQ(romTcc, memoryTcc(Bytes(image.begin() + 512, image.begin() + 50512), 232));
    EXPECT_EQ(ramTcc, memoryTcc(Bytes(image.begin() + 50512, image.end()), 0));
}

TEST(CalculateFileTcc, AllZeroRomAreaOfOneLba) {
    Bytes image(512 + 19720, 0);
    const TempFile file(image);
    stream_s rom = {nullptr, file.fd, 512, 19720};
    EXPECT_EQ(calculateFileTcc(&rom, 232), 892390u);
}

// A pipe hands over what has been written so far: the reader must keep
// reading until the buffer is full instead of calling that a short file.
TEST(CalculateFileTcc, CollectsShortReadsFromAPipe) {
    const Bytes data = randomBytes(60000, 23);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        for (size_t at = 0; at < data.size(); at += 7) {
            const size_t n = std::min<size_t>(7, data.size() - at);
            if (write(fds[1], data.data() + at, n) != static_cast<ssize_t>(n)) break;
            if (at % 7000 == 0) std::this_thread::yield();
        }
        close(fds[1]);
    });
    stream_s st = {nullptr, fds[0], -1, static_cast<int32_t>(data.size())};
    const uint32_t tcc = calculateFileTcc(&st, 0);
    writer.join();
    close(fds[0]);
    EXPECT_EQ(tcc, memoryTcc(data, 0));
}

// Failures print on standard output and exit; the death tests send standard
// output to standard error so that the message can be matched.
struct Failure {
    const char *what;
    std::function<void()> action;
    const char *message; // extended regular expression
};

void expectFailures(const std::vector<Failure> &failures) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const Failure &f : failures) {
        auto run = [&f] {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            f.action();
        };
        EXPECT_EXIT(run(), testing::ExitedWithCode(255), f.message) << f.what;
    }
}

const char *const kFormatErrorPattern = "\n\\*{5} File format error \\*{5}\n";
const char *const kReadErrorPattern = "\n\\*{8} Read ERROR \\*{10}\n";

void fileTcc(int32_t count, bool buffered) {
    const TempFile file(randomBytes(512 + 1000, 24));
    stream_s st = {nullptr, file.fd, 512, count};
    if (buffered)
        calculateFileTcc(&st, 0);
    else
        calculate_tcc(getHalfWordFromFile, &st, 0);
}

TEST(TccDeathTest, DamagedStreams) {
    const Bytes odd = {1, 2, 3};
    expectFailures({
        {"odd file stream, buffered", [] { fileTcc(999, true); }, kFormatErrorPattern},
        {"odd file stream, word getter", [] { fileTcc(999, false); }, kFormatErrorPattern},
        {"odd memory stream",
         [&odd] {
             stream_s st = {odd.data(), -1, -1, 3};
             calculate_tcc(getHalfWordFromRam, &st, 0);
         },
         kFormatErrorPattern},
        {"stream past the end of the file, buffered", [] { fileTcc(1002, true); },
         kReadErrorPattern},
        {"stream past the end of the file, word getter", [] { fileTcc(1002, false); },
         kReadErrorPattern},
    });
}

// A first block with valid markers and geometry: type 0, ROM area LBA 0 only,
// no RAM area, distribution code 0; the other bytes random.
Bytes firstBlock() {
    Bytes b = randomBytes(512, 25);
    for (int i : {0, 1, 2, 3, 8, 9, 10, 11})
        b[i] = 0;
    b[5] = 0;
    b[224] = b[225] = 0;
    b[226] = b[227] = 0xFF;
    b[228] = b[229] = 0;
    b[488] = 0;
    return b;
}

uint32_t systemIdTcc(const Bytes &block) {
    const TempFile file(block);
    EXPECT_EQ(lseek(file.fd, 0, SEEK_SET), 0);
    return calcSystemIdTcc(file.fd);
}

// The TCC covers bytes 4-231 and 256-487 except the masked 264-279, and the
// country code chosen by byte 488 in place of bytes 0-3.
TEST(CalcSystemIdTcc, CoversExactlyItsRegions) {
    const Bytes base = firstBlock();
    const uint32_t baseTcc = systemIdTcc(base);
    EXPECT_EQ(diskType, 0);
    EXPECT_EQ(romEndLBA, 0);
    EXPECT_EQ(ramStartLBA, 0xFFFF);
    for (int i = 0; i < 512; ++i) {
        Bytes changed = base;
        // Keep the geometry fields valid: flip only their lowest bit, and
        // only the high nibble of the disk type.
        const bool field = i == 5 || (i >= 224 && i < 230) || i == 488;
        changed[i] ^= i == 5 ? 0x50 : field ? 0x01 : 0xA5;
        const bool covered = (i >= 4 && i < 232) || (i >= 256 && i < 264) || (i >= 280 && i <= 488);
        if (covered)
            EXPECT_NE(systemIdTcc(changed), baseTcc) << "byte " << i;
        else
            EXPECT_EQ(systemIdTcc(changed), baseTcc) << "byte " << i;
    }
}

TEST(CalcSystemIdTcc, ReadsTheGeometry) {
    Bytes b = firstBlock();
    b[5] = 0xA6; // high bits ignored
    b[224] = 0x10, b[225] = 0xC3;
    b[226] = 0x01, b[227] = 0x02;
    b[228] = 0x0F, b[229] = 0xFF;
    systemIdTcc(b);
    EXPECT_EQ(diskType, 6);
    EXPECT_EQ(romEndLBA, 4291);
    EXPECT_EQ(ramStartLBA, 258);
    EXPECT_EQ(ramEndLBA, 4095);
}

// Blocks that name something outside the country table or the zone table.
TEST(TccDeathTest, FirstBlocksOutsideTheTables) {
    struct Patch {
        const char *what;
        int offset;
        Bytes bytes;
    } const patches[] = {
        {"distribution code 3", 488, {3}},
        {"distribution code 18", 488, {18}},
        {"disk type 7", 5, {7}},
        {"disk type 15", 5, {0x0F}},
        {"ROM area ending at LBA 4292", 224, {0x10, 0xC4}},
        {"RAM area ending at LBA 4292", 226, {0x0F, 0xA0, 0x10, 0xC4}},
        {"RAM area at LBAs 5000 to 5001", 226, {0x13, 0x88, 0x13, 0x89}},
    };
    std::vector<Failure> failures;
    for (const Patch &p : patches) {
        Bytes b = firstBlock();
        std::copy(p.bytes.begin(), p.bytes.end(), b.begin() + p.offset);
        failures.push_back({p.what, [b] { systemIdTcc(b); }, kFormatErrorPattern});
    }
    expectFailures(failures);
}

TEST(CalcSystemIdTcc, AcceptsAnEmptyRamAreaBeyondTheDisk) {
    Bytes b = firstBlock();
    const Bytes ram = {0x13, 0x88, 0x13, 0x87}; // LBA 5000 to 4999
    std::copy(ram.begin(), ram.end(), b.begin() + 226);
    systemIdTcc(b);
    EXPECT_EQ(ramStartLBA, 5000);
    EXPECT_EQ(ramEndLBA, 4999);
}

} // namespace
