// The production constants of the check code.  A first block's TCC covers a
// 32-bit country code in place of the block's first four bytes, derived from
// this table by the distribution code of the image (byte 488):
//
//     countCode = (countryCode[distCode + 7] - (distCode + 1) * 4096) ^ countCodeXor
//
// The words are kept scrambled.  The values below are this build's own
// placeholders; whoever holds the production values replaces this file (and
// nothing else) before building.  Only tcc.cpp includes it.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::array<uint32_t, 10> countryCode = {
    0x3b9a2c41, 0x8e07d1f5, 0x51c6a9e2, 0xd4f0387b, 0x0a6e95c3,
    0xc71d4b08, 0x6f3285ad, 0x9e4b1a7c, 0x2d83f6e1, 0xb5c0724f,
};

inline constexpr uint32_t countCodeXor = 0x5a17c3e9;
