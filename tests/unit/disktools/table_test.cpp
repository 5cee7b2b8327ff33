// The zone table and its two conversions.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "table.h"

namespace {

TEST(ZoneTable, EveryTypeHoldsTheSameCapacity) {
    for (int type = 0; type < kDiskTypes; ++type)
        EXPECT_EQ(blk2Sz(type, 0, kLbasPerDisk), 64458560) << "type " << type;
}

// Every row as the drive's zone layout gives it: its runs in order, each as
// the number of LBAs and the zone size (bytes per LBA / 85).  Compared whole,
// so a run in the wrong place is caught even where it keeps every row's sum.
TEST(ZoneTable, RowsAreTheDrivesZoneRuns) {
    const char *const layouts[kDiskTypes] = {
        "268x232 292x216 566x208 292x216 274x192 274x176 274x160 274x144 204x128 204x112 "
        "274x128 274x144 274x160 274x176 274x192",
        "268x232 292x216 274x208 548x192 292x208 292x216 274x176 274x160 274x144 204x128 "
        "204x112 274x128 274x144 274x160 274x176",
        "268x232 292x216 274x208 274x192 548x176 274x192 292x208 292x216 274x160 274x144 "
        "204x128 204x112 274x128 274x144 274x160",
        "268x232 292x216 274x208 274x192 274x176 548x160 274x176 274x192 292x208 292x216 "
        "274x144 204x128 204x112 274x128 274x144",
        "268x232 292x216 274x208 274x192 274x176 274x160 548x144 274x160 274x176 274x192 "
        "292x208 292x216 204x128 204x112 274x128",
        "268x232 292x216 274x208 274x192 274x176 274x160 274x144 478x128 274x144 274x160 "
        "274x176 274x192 292x208 292x216 204x112",
        "268x232 292x216 274x208 274x192 274x176 274x160 274x144 204x128 204x112 274x128 "
        "274x144 274x160 274x176 274x192 292x208 292x216",
    };
    for (int type = 0; type < kDiskTypes; ++type) {
        std::string runs;
        for (int first = 0; first < kLbasPerDisk;) {
            int last = first;
            while (last + 1 < kLbasPerDisk && tab[type][last + 1] == tab[type][first])
                ++last;
            const int32_t bytes = tab[type][first];
            char run[40];
            std::snprintf(run, sizeof run, bytes % 85 ? " %dx%d+%d" : " %dx%d", last - first + 1,
                          bytes / 85, bytes % 85);
            runs += runs.empty() ? run + 1 : run;
            first = last + 1;
        }
        EXPECT_EQ(runs, layouts[type]) << "type " << type;
    }
}

TEST(ZoneTable, ZoneBoundaries) {
    // Entries on both sides of some run boundaries, first and last LBAs.
    struct Entry {
        int type, lba;
        int32_t bytes;
    } const entries[] = {
        {0, 0, 19720},    {0, 267, 19720},  {0, 268, 18360},  {0, 559, 18360},  {0, 560, 17680},
        {0, 1125, 17680}, {0, 1126, 18360}, {0, 2717, 10880}, {0, 2718, 9520},  {0, 4291, 16320},
        {1, 834, 16320},  {1, 1381, 16320}, {1, 1382, 17680}, {2, 3266, 9520},  {3, 1929, 13600},
        {3, 1930, 14960}, {4, 4017, 9520},  {4, 4018, 10880}, {5, 4087, 18360}, {5, 4088, 9520},
        {5, 4291, 9520},  {6, 3999, 17680}, {6, 4000, 18360}, {6, 4291, 18360},
    };
    for (const Entry &e : entries)
        EXPECT_EQ(tab[e.type][e.lba], e.bytes) << "type " << e.type << " LBA " << e.lba;
}

TEST(ZoneTable, Blk2SzKnownSums) {
    struct Case {
        int32_t type, start, nlbas, bytes;
    } const cases[] = {
        {0, 0, 268, 5284960}, {0, 4291, 1, 16320}, {6, 4291, 1, 18360}, {5, 4291, 1, 9520},
        {3, 100, 0, 0},       {3, 100, -5, 0},     {0, 4291, 0, 0},     {2, 0, INT32_MIN, 0},
        {6, 16, 8, 157760},   {0, 267, 2, 38080},
    };
    for (const Case &c : cases)
        EXPECT_EQ(blk2Sz(c.type, c.start, c.nlbas), c.bytes)
            << c.type << " " << c.start << " " << c.nlbas;
}

TEST(ZoneTable, Sz2BlkKnownCounts) {
    struct Case {
        int32_t type, start, nbytes, nlbas;
    } const cases[] = {
        {0, 0, 19720, 1},       {0, 0, 19721, 2},     {0, 267, 19721, 2},
        {0, 0, 64458560, 4292}, {4, 12, 1, 1},        {4, 12, 0, 0},
        {4, 12, -1, 0},         {1, 0, INT32_MIN, 0}, {5, 4291, 9520, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sz2Blk(c.type, c.start, c.nbytes), c.nlbas)
            << c.type << " " << c.start << " " << c.nbytes;
}

// Asking for every byte from a start LBA to the end of the disk needs exactly
// the LBAs up to 4291: the walk ends on the last entry of the row.
TEST(ZoneTable, WholeRemainderEndsAtTheLastLba) {
    for (int32_t type = 0; type < kDiskTypes; ++type)
        for (int32_t start = 0; start < kLbasPerDisk; ++start)
            ASSERT_EQ(sz2Blk(type, start, blk2Sz(type, start, kLbasPerDisk - start)),
                      kLbasPerDisk - start)
                << "type " << type << " start " << start;
}

// sz2Blk gives the fewest LBAs that hold the bytes.
TEST(ZoneTable, Sz2BlkIsTheSmallestCover) {
    std::mt19937 rng(4292);
    for (int i = 0; i < 20000; ++i) {
        const int32_t type = static_cast<int32_t>(rng() % kDiskTypes);
        const int32_t start = static_cast<int32_t>(rng() % kLbasPerDisk);
        const int32_t remain = blk2Sz(type, start, kLbasPerDisk - start);
        const int32_t nbytes = 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(remain));
        const int32_t n = sz2Blk(type, start, nbytes);
        ASSERT_GE(blk2Sz(type, start, n), nbytes) << type << " " << start << " " << nbytes;
        ASSERT_LT(blk2Sz(type, start, n - 1), nbytes) << type << " " << start << " " << nbytes;
    }
}

} // namespace
