// Zone table of the Morvane drive and the two conversions over it.
//
// An LBA does not hold a fixed number of bytes: its size depends on the zone
// it lies in, and the zones are laid out differently on each of the seven
// disk types.  `tab[type][lba]` is the byte count of one LBA.  The table is
// read-only data fixed at compile time (table.cpp); nothing writes it and
// nothing is computed when a program starts.  sz2blk and tccsum both take all
// disk geometry from here.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kDiskTypes = 7;      // valid disk types are 0 to 6
inline constexpr int kLbasPerDisk = 4292; // valid LBAs are 0 to 4291

using ZoneRow = std::array<int32_t, kLbasPerDisk>;
extern const std::array<ZoneRow, kDiskTypes> tab;

// Number of consecutive LBAs from startLBA whose sizes together reach at
// least nbytes (a partly used last LBA counts whole); 0 when nbytes <= 0.
// The caller guarantees 0 <= type <= 6, 0 <= startLBA <= 4291 and that the
// disk holds at least nbytes from startLBA to its end.
int32_t sz2Blk(int32_t type, int32_t startLBA, int32_t nbytes);

// Bytes held by the nlbas LBAs startLBA .. startLBA + nlbas - 1; 0 when
// nlbas <= 0.  The caller guarantees 0 <= type <= 6, startLBA >= 0 and
// startLBA + nlbas - 1 <= 4291.
int32_t blk2Sz(int32_t type, int32_t startLBA, int32_t nlbas);
