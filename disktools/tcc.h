// Check codes (TCC) of a Morvane master data image.
//
// State lives in tcc.cpp, one copy for the whole run:
//  - the image geometry (diskType, romEndLBA, ramStartLBA, ramEndLBA), set by
//    calcSystemIdTcc from the first block; romSize and ramSize, set by
//    calcRomTcc and calcRamTcc;
//  - fileBuffer, which first holds the first block and then serves as the
//    read buffer of the ROM and RAM areas, and the file word reader's
//    position in it (remainInBuffer, pointer), written only by the refill and
//    the file getters and shared by every file stream: a file stream must be
//    read to its end before the next begins.
// Any problem with the image ends the program with its message on standard
// output and status -1.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kFileBufferSize = 20480;
inline constexpr uint32_t kTccModulus = 1000000;
inline constexpr uint32_t kLastKey = 0xFFF0; // keys run 0 .. 65520, then start again at 0

// A stream of big-endian 16-bit words, over memory (addr) or over the image
// file (infd; start is the offset of the next refill, -1 to read on from the
// current position).  count is the number of bytes not yet delivered.
struct stream_s {
    const uint8_t *addr;
    int infd;
    int start;
    int32_t count;
};

extern uint8_t fileBuffer[kFileBufferSize];
extern int remainInBuffer;
extern const uint8_t *pointer;

extern int32_t diskType;
extern int32_t romEndLBA;
extern int32_t ramStartLBA;
extern int32_t ramEndLBA;
extern uint32_t romSize;
extern uint32_t ramSize;

inline constexpr int32_t kNoRamArea = 0xFFFF; // ramStartLBA of an image without RAM area

// A getter returns the next word of its stream (0 .. 65535), or -1 at its end.
using TccGetter = int32_t (*)(void *stream);

// The TCC of one stream: the sum, modulo 2^32, of key XOR word over its words,
// the key starting at addr and wrapping after 65520; reduced modulo 1000000.
uint32_t calculate_tcc(TccGetter getter, void *src, uint32_t addr);
int32_t getHalfWordFromRam(void *st);
int32_t getHalfWordFromFile(void *st);

// The same TCC as calculate_tcc(getHalfWordFromFile, st, addr), taken a
// buffer at a time with tccAddWords instead of a call per word.
uint32_t calculateFileTcc(stream_s *st, uint32_t addr);

// Adds key XOR word for the nwords big-endian words at `words` to sum and
// returns it; *key is the key of the first word and is left at the key of the
// word that would follow.
uint32_t tccAddWords(const uint8_t *words, size_t nwords, uint32_t *key, uint32_t sum);

// The steps of a run, in order.
void checkMaster(int ifd);
uint32_t calcSystemIdTcc(int ifd);
uint32_t calcRomTcc(int ifd);
uint32_t calcRamTcc(int ifd);

// Messages of a damaged or unreadable image.
inline constexpr const char *kReadError = "\n******** Read ERROR **********\n";
inline constexpr const char *kBlockReadError = "\n******** Read ERROR *********\n";
inline constexpr const char *kNotMasterData = "\n******** This is not a master data!! **********\n";
inline constexpr const char *kFormatError = "\n***** File format error *****\n";

// Prints message on standard output and ends the program with status -1.
[[noreturn]] void dataError(const char *message);
