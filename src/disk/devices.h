// The device table: every fact of each device type in one named row, built
// from the geometry of the device (tracks, sectors, words). The block
// mapping, MOUNT, DUMP and ZERO read their figures from here; how a block is
// moved stays with each device's own transfer code in disk.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "disk.h"

// ---- Geometry factors -------------------------------------------------------

// RX01 8-inch floppy: 77 tracks of 26 sectors of 128 bytes; track 0 is never
// used; a block is four sectors of 64 words.
inline constexpr unsigned RX01_TRACKS = 77;
inline constexpr unsigned RX01_SECTORS_PER_TRACK = 26;
inline constexpr unsigned RX01_SECTOR_SIZE = 128;
inline constexpr unsigned RX01_SECTORS_PER_BLOCK = 4;
inline constexpr unsigned RX01_WORDS_PER_SECTOR = 64;

// RX50 5.25-inch floppy: 80 tracks of 10 sectors of 512 bytes; blocks lie on
// tracks 1-77 (0, 78 and 79 are never used), one sector each. OS/8 uses 766
// of the 770 blocks the mapping reaches.
inline constexpr unsigned RX50_TRACKS = 80;
inline constexpr unsigned RX50_DATA_TRACKS = 77;
inline constexpr unsigned RX50_SECTORS_PER_TRACK = 10;
inline constexpr unsigned RX50_SECTOR_SIZE = 512;
inline constexpr unsigned RX50_OS8_BLOCKS = 766;

// NB03 RAM disk: 128 banks of 4096 bytes, each holding 21 half-blocks of 192
// bytes (128 words) in its first 4032 bytes.
inline constexpr unsigned NB03_BANKS = 128;
inline constexpr unsigned NB03_BANK_SIZE = 4096;
inline constexpr unsigned NB03_HALVES_PER_BANK = 21;
inline constexpr unsigned NB03_HALF_BLOCK_SIZE = 192;
inline constexpr unsigned NB03_WORDS_PER_HALF = 128;

// HE02 IDE disk: partitions of 4096 sectors of 512 bytes, one block each; an
// image file holds partition 0.
inline constexpr unsigned HE02_SECTOR_SIZE = 512;
inline constexpr unsigned HE02_PARTITION_SECTORS = 4096;

// RK05 cartridge: 203 cylinders of two surfaces of 16 sectors of 512 bytes,
// one block each, split into two OS/8 units.
inline constexpr unsigned RK05_CYLINDERS = 203;
inline constexpr unsigned RK05_SURFACES = 2;
inline constexpr unsigned RK05_SECTORS_PER_TRACK = 16;
inline constexpr unsigned RK05_SECTOR_SIZE = 512;
inline constexpr unsigned RK05_UNITS = 2;

// TU56 DECtape as the simulator keeps it: 1474 tape blocks of 129 words,
// each word a 16-bit little-endian value. An OS/8 block is two tape blocks,
// the first 128 words of each. Some tools write the tape with 128 words per
// tape block instead; such an image is told apart by its size.
inline constexpr unsigned TU56_TAPE_BLOCKS = 1474;
inline constexpr unsigned TU56_WORDS_PER_TAPE_BLOCK = 129;
inline constexpr unsigned TU56_DATA_WORDS = 128;  // words of a tape block OS/8 uses
inline constexpr unsigned TU56_TAPE_BLOCKS_PER_BLOCK = 2;
inline constexpr unsigned TU56_BYTES_PER_WORD = 2;
inline constexpr unsigned TU56_TAPE_BLOCK_SIZE = TU56_WORDS_PER_TAPE_BLOCK * TU56_BYTES_PER_WORD;
inline constexpr unsigned TU56_DATA_SIZE = TU56_DATA_WORDS * TU56_BYTES_PER_WORD;
inline constexpr std::uint64_t TU56_IMAGE_128_BYTES =
    std::uint64_t{TU56_TAPE_BLOCKS} * TU56_DATA_SIZE;

// RX02 double-density floppy (the simulator's RX28 image): 77 tracks of 26
// sectors of 256 bytes; track 0 is never used; a block is two sectors of 128
// words, laid out with a three-way interleave.
inline constexpr unsigned RX02_TRACKS = 77;
inline constexpr unsigned RX02_SECTORS_PER_TRACK = 26;
inline constexpr unsigned RX02_SECTOR_SIZE = 256;
inline constexpr unsigned RX02_SECTORS_PER_BLOCK = 2;
inline constexpr unsigned RX02_WORDS_PER_SECTOR = 128;
inline constexpr unsigned RX02_INTERLEAVE = 3;

// ---- The table ------------------------------------------------------------------

inline constexpr std::size_t DEVICE_EXTENSIONS = 2;

struct DeviceInfo {
    DiskType nDiskType;
    // MOUNT's qualifier keyword (also the device's name in messages) and the
    // number of its characters that MOUNT compares.
    std::string_view keyword;
    unsigned nKeywordMinimum;
    // Image-file extensions, the default first; empty entries are unused.
    std::array<std::string_view, DEVICE_EXTENSIONS> extensions;
    unsigned cbSector;        // unit of the image: sector, bank or tape block
    std::uint64_t cbImage;    // size of a new image
    unsigned nMappedBlocks;   // blocks the mapping can address, per unit
    unsigned nOS8Blocks;      // blocks OS/8 uses per unit: ZERO's size, DUMP's limit
    unsigned nUnits;          // units or partitions of an image file
    bool fPhysical;           // MOUNT accepts /PHYSICAL (only HE02 drives open)
};

inline constexpr DeviceInfo DEVICE_RX01 = {
    DiskType::RX01, "RX01", 4, {".rx1", ".rx01"},
    RX01_SECTOR_SIZE,
    std::uint64_t{RX01_TRACKS} * RX01_SECTORS_PER_TRACK * RX01_SECTOR_SIZE,
    (RX01_TRACKS - 1) * RX01_SECTORS_PER_TRACK / RX01_SECTORS_PER_BLOCK,
    (RX01_TRACKS - 1) * RX01_SECTORS_PER_TRACK / RX01_SECTORS_PER_BLOCK,
    1, true};

inline constexpr DeviceInfo DEVICE_RX50 = {
    DiskType::RX50, "RX50", 4, {".rx5", ".rx50"},
    RX50_SECTOR_SIZE,
    std::uint64_t{RX50_TRACKS} * RX50_SECTORS_PER_TRACK * RX50_SECTOR_SIZE,
    RX50_DATA_TRACKS * RX50_SECTORS_PER_TRACK,
    RX50_OS8_BLOCKS,
    1, true};

inline constexpr DeviceInfo DEVICE_NB03 = {
    DiskType::NB03, "NB03", 2, {".nb3", ""},
    NB03_BANK_SIZE,
    std::uint64_t{NB03_BANKS} * NB03_BANK_SIZE,
    NB03_BANKS * NB03_HALVES_PER_BANK / 2,
    NB03_BANKS * NB03_HALVES_PER_BANK / 2,
    1, false};

inline constexpr DeviceInfo DEVICE_HE02 = {
    DiskType::HE02, "HE02", 2, {".he2", ""},
    HE02_SECTOR_SIZE,
    std::uint64_t{HE02_PARTITION_SECTORS} * HE02_SECTOR_SIZE,
    HE02_PARTITION_SECTORS,
    HE02_PARTITION_SECTORS,
    1, true};

inline constexpr DeviceInfo DEVICE_RK05 = {
    DiskType::RK05, "RK05", 2, {".rk5", ".rk05"},
    RK05_SECTOR_SIZE,
    std::uint64_t{RK05_CYLINDERS} * RK05_SURFACES * RK05_SECTORS_PER_TRACK * RK05_SECTOR_SIZE,
    RK05_CYLINDERS * RK05_SURFACES * RK05_SECTORS_PER_TRACK / RK05_UNITS,
    RK05_CYLINDERS * RK05_SURFACES * RK05_SECTORS_PER_TRACK / RK05_UNITS,
    RK05_UNITS, false};

inline constexpr DeviceInfo DEVICE_TU56 = {
    DiskType::TU56, "TU56", 2, {".tu56", ".dt8"},
    TU56_TAPE_BLOCK_SIZE,
    std::uint64_t{TU56_TAPE_BLOCKS} * TU56_TAPE_BLOCK_SIZE,
    TU56_TAPE_BLOCKS / TU56_TAPE_BLOCKS_PER_BLOCK,
    TU56_TAPE_BLOCKS / TU56_TAPE_BLOCKS_PER_BLOCK,
    1, false};

inline constexpr DeviceInfo DEVICE_RX02 = {
    DiskType::RX02, "RX02", 4, {".rx2", ".rx02"},
    RX02_SECTOR_SIZE,
    std::uint64_t{RX02_TRACKS} * RX02_SECTORS_PER_TRACK * RX02_SECTOR_SIZE,
    (RX02_TRACKS - 1) * RX02_SECTORS_PER_TRACK / RX02_SECTORS_PER_BLOCK,
    (RX02_TRACKS - 1) * RX02_SECTORS_PER_TRACK / RX02_SECTORS_PER_BLOCK,
    1, false};

// Every device, in the order of the enumeration (MOUNT compares its
// qualifiers in this order too).
inline constexpr std::array<DeviceInfo, 7> DEVICE_TABLE = {
    DEVICE_RX01, DEVICE_RX50, DEVICE_NB03, DEVICE_HE02,
    DEVICE_RK05, DEVICE_TU56, DEVICE_RX02,
};

// The row of a device type; the type must not be none.
const DeviceInfo& GetDeviceInfo(DiskType nDiskType);
// The device whose image files carry this extension (with its dot, case
// folded); none when no device knows it.
DiskType FindDeviceByExtension(std::string_view extension);
