// The zone table, written as the runs of equal LBA sizes that make up each
// disk type, and expanded into one entry per LBA by the compiler.  The
// invariants of the drive's geometry are checked here at compile time, so a
// mistyped run cannot reach a program.
#include "table.h"

namespace {

// Every LBA from first to last inclusive holds `bytes` bytes on disk `type`.
struct ZoneRun {
    int type;
    int first;
    int last;
    int32_t bytes;
};

constexpr ZoneRun kRuns[] = {
    {0, 0, 267, 19720},     {0, 268, 559, 18360},   {0, 560, 1125, 17680},  {0, 1126, 1417, 18360},
    {0, 1418, 1691, 16320}, {0, 1692, 1965, 14960}, {0, 1966, 2239, 13600}, {0, 2240, 2513, 12240},
    {0, 2514, 2717, 10880}, {0, 2718, 2921, 9520},  {0, 2922, 3195, 10880}, {0, 3196, 3469, 12240},
    {0, 3470, 3743, 13600}, {0, 3744, 4017, 14960}, {0, 4018, 4291, 16320}, {1, 0, 267, 19720},
    {1, 268, 559, 18360},   {1, 560, 833, 17680},   {1, 834, 1381, 16320},  {1, 1382, 1673, 17680},
    {1, 1674, 1965, 18360}, {1, 1966, 2239, 14960}, {1, 2240, 2513, 13600}, {1, 2514, 2787, 12240},
    {1, 2788, 2991, 10880}, {1, 2992, 3195, 9520},  {1, 3196, 3469, 10880}, {1, 3470, 3743, 12240},
    {1, 3744, 4017, 13600}, {1, 4018, 4291, 14960}, {2, 0, 267, 19720},     {2, 268, 559, 18360},
    {2, 560, 833, 17680},   {2, 834, 1107, 16320},  {2, 1108, 1655, 14960}, {2, 1656, 1929, 16320},
    {2, 1930, 2221, 17680}, {2, 2222, 2513, 18360}, {2, 2514, 2787, 13600}, {2, 2788, 3061, 12240},
    {2, 3062, 3265, 10880}, {2, 3266, 3469, 9520},  {2, 3470, 3743, 10880}, {2, 3744, 4017, 12240},
    {2, 4018, 4291, 13600}, {3, 0, 267, 19720},     {3, 268, 559, 18360},   {3, 560, 833, 17680},
    {3, 834, 1107, 16320},  {3, 1108, 1381, 14960}, {3, 1382, 1929, 13600}, {3, 1930, 2203, 14960},
    {3, 2204, 2477, 16320}, {3, 2478, 2769, 17680}, {3, 2770, 3061, 18360}, {3, 3062, 3335, 12240},
    {3, 3336, 3539, 10880}, {3, 3540, 3743, 9520},  {3, 3744, 4017, 10880}, {3, 4018, 4291, 12240},
    {4, 0, 267, 19720},     {4, 268, 559, 18360},   {4, 560, 833, 17680},   {4, 834, 1107, 16320},
    {4, 1108, 1381, 14960}, {4, 1382, 1655, 13600}, {4, 1656, 2203, 12240}, {4, 2204, 2477, 13600},
    {4, 2478, 2751, 14960}, {4, 2752, 3025, 16320}, {4, 3026, 3317, 17680}, {4, 3318, 3609, 18360},
    {4, 3610, 3813, 10880}, {4, 3814, 4017, 9520},  {4, 4018, 4291, 10880}, {5, 0, 267, 19720},
    {5, 268, 559, 18360},   {5, 560, 833, 17680},   {5, 834, 1107, 16320},  {5, 1108, 1381, 14960},
    {5, 1382, 1655, 13600}, {5, 1656, 1929, 12240}, {5, 1930, 2407, 10880}, {5, 2408, 2681, 12240},
    {5, 2682, 2955, 13600}, {5, 2956, 3229, 14960}, {5, 3230, 3503, 16320}, {5, 3504, 3795, 17680},
    {5, 3796, 4087, 18360}, {5, 4088, 4291, 9520},  {6, 0, 267, 19720},     {6, 268, 559, 18360},
    {6, 560, 833, 17680},   {6, 834, 1107, 16320},  {6, 1108, 1381, 14960}, {6, 1382, 1655, 13600},
    {6, 1656, 1929, 12240}, {6, 1930, 2133, 10880}, {6, 2134, 2337, 9520},  {6, 2338, 2611, 10880},
    {6, 2612, 2885, 12240}, {6, 2886, 3159, 13600}, {6, 3160, 3433, 14960}, {6, 3434, 3707, 16320},
    {6, 3708, 3999, 17680}, {6, 4000, 4291, 18360},
};

constexpr int kRunCount = sizeof kRuns / sizeof kRuns[0];

// The drive's zones carry 85 sectors of one of these sizes per LBA.
constexpr int32_t kZoneSizes[] = {232, 216, 208, 192, 176, 160, 144, 128, 112};
constexpr int32_t kSectorsPerLba = 85;
constexpr int32_t kDiskBytes = 64458560;

// The runs of each type must follow each other without gap or overlap and
// cover LBA 0 to 4291 exactly, listed type by type.
constexpr bool runsTileEveryRow() {
    int type = 0;
    int next = 0;
    for (const ZoneRun &r : kRuns) {
        if (r.type == type + 1 && next == kLbasPerDisk) {
            type = r.type;
            next = 0;
        }
        if (r.type != type || r.first != next || r.last < r.first) return false;
        next = r.last + 1;
    }
    return type == kDiskTypes - 1 && next == kLbasPerDisk;
}
static_assert(kRunCount == 106, "the zone table is made of 106 runs");
static_assert(runsTileEveryRow(), "zone runs must tile LBA 0 to 4291 of every type in order");

constexpr std::array<ZoneRow, kDiskTypes> buildTable() {
    std::array<ZoneRow, kDiskTypes> t{};
    for (const ZoneRun &r : kRuns)
        for (int lba = r.first; lba <= r.last; ++lba)
            t[r.type][lba] = r.bytes;
    return t;
}

} // namespace

constexpr std::array<ZoneRow, kDiskTypes> tab = buildTable();

namespace {

constexpr bool isZoneSize(int32_t bytes) {
    for (int32_t zone : kZoneSizes)
        if (bytes == zone * kSectorsPerLba) return true;
    return false;
}

constexpr bool everyEntryIsAZoneSize() {
    for (const ZoneRow &row : tab)
        for (int32_t bytes : row)
            if (!isZoneSize(bytes)) return false;
    return true;
}

constexpr bool everyRowHoldsOneDisk() {
    for (const ZoneRow &row : tab) {
        int32_t sum = 0;
        for (int32_t bytes : row)
            sum += bytes;
        if (sum != kDiskBytes) return false;
    }
    return true;
}

// The two outermost zones are the same on every disk type.
constexpr bool outerZonesAgree() {
    for (const ZoneRow &row : tab)
        for (int lba = 0; lba < 560; ++lba)
            if (row[lba] != (lba < 268 ? 19720 : 18360)) return false;
    return true;
}

static_assert(everyEntryIsAZoneSize(), "every LBA holds 85 sectors of one zone size");
static_assert(everyRowHoldsOneDisk(), "every disk type holds 64458560 bytes");
static_assert(outerZonesAgree(), "LBAs 0-267 hold 19720 and 268-559 hold 18360 bytes");

} // namespace

int32_t sz2Blk(int32_t type, int32_t startLBA, int32_t nbytes) {
    const ZoneRow &row = tab[type];
    int32_t totalbytes = 0;
    int32_t lba = startLBA;
    while (totalbytes < nbytes)
        totalbytes += row[lba++];
    return lba - startLBA;
}

int32_t blk2Sz(int32_t type, int32_t startLBA, int32_t nlbas) {
    const ZoneRow &row = tab[type];
    const int32_t end = startLBA + nlbas;
    int32_t result = 0;
    for (int32_t lba = startLBA; lba < end; ++lba)
        result += row[lba];
    return result;
}
