// The DISKETTE module: the one mount state of the run, image files, and the
// mapping of OS/8 blocks onto the sectors, banks and tape blocks of each
// device of the device table.
#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include "disk.h"
#include "disk_internal.h"
#include "shell.h"

namespace {

constexpr unsigned RX01_BLOCKS = DEVICE_RX01.nMappedBlocks;
constexpr unsigned RX50_BLOCKS = DEVICE_RX50.nMappedBlocks;
constexpr unsigned NB03_BLOCKS = DEVICE_NB03.nMappedBlocks;
constexpr unsigned HE02_BLOCKS = DEVICE_HE02.nMappedBlocks;
constexpr unsigned RK05_BLOCKS = DEVICE_RK05.nMappedBlocks;  // per unit
constexpr unsigned TU56_BLOCKS = DEVICE_TU56.nMappedBlocks;
constexpr unsigned RX02_BLOCKS = DEVICE_RX02.nMappedBlocks;

// The first RX01 sector of each block within a group of 13 blocks (two
// tracks).
constexpr std::array<unsigned, 13> StartSectorRX01 = {1, 9, 17, 25, 8, 16, 24,
                                                      5, 13, 21, 4, 12, 20};

struct MountState {
    DiskType nDiskType = DiskType::None;
    bool fVirtualDisk = false;
    bool fReadOnly = false;
    HostFd hVirtualDisk;
    std::string szDiskName;
    std::uint32_t nPartition = 0;
    // A TU56 image in the 128-word form (recognised by its size when it is
    // opened) rather than the simulator's 129 words per tape block.
    bool fTapeWords128 = false;
    // The 512-byte sectors of a physical drive.
    std::uint64_t qDriveSectors = 0;
    // What the host file or device is, taken when it was opened, so that a
    // host file named later can be told to be the same one whatever name it
    // is given.
    bool fHaveIdentity = false;
    HostFileId identity;
};

MountState g_mount;

// The last open or create failed on another program's lock.
bool g_fDiskInUse = false;

// Block transfers so far, and the transfer that is to fail (0: none).
unsigned long g_nTransfers = 0;
unsigned long g_nFaultTransfer = 0;
// Blocks moved by all transfers so far.
unsigned long g_nBlocksMoved = 0;
// Image-file writes may not end beyond this byte (0: no limit).
std::uint64_t g_qImageWriteLimit = 0;

// Writes cb bytes at lOffset of the mounted image file; false (errno set)
// on failure, also when the write would pass the write limit.
bool WriteImageAt(const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset) {
    if (g_qImageWriteLimit != 0 && lOffset + cb > g_qImageWriteLimit) {
        errno = ENOSPC;
        return false;
    }
    return WriteAt(g_mount.hVirtualDisk.Get(), pbData, cb, lOffset);
}

// ---- Word packing -----------------------------------------------------------

// 16-bit little-endian words; fMask drops the upper four bits on reading.
void UnpackWordsLE(const std::uint8_t* pbData, std::uint16_t* pwData, unsigned nWords, bool fMask) {
    for (unsigned i = 0; i < nWords; ++i) {
        unsigned nHigh = pbData[2 * i + 1];
        if (fMask)
            nHigh &= 0x0F;
        pwData[i] = static_cast<std::uint16_t>(pbData[2 * i] | (nHigh << 8));
    }
}

void PackWordsLE(const std::uint16_t* pwData, std::uint8_t* pbData, unsigned nWords) {
    for (unsigned i = 0; i < nWords; ++i) {
        pbData[2 * i] = static_cast<std::uint8_t>(pwData[i] & 0xFF);
        pbData[2 * i + 1] = static_cast<std::uint8_t>(pwData[i] >> 8);
    }
}

// 96 bytes to 64 words, high bits first; bytes 96-127 carry nothing.
void UnpackSectorRX01(const std::uint8_t* pbData, std::uint16_t* pwData) {
    for (unsigned g = 0; g < RX01_WORDS_PER_SECTOR / 2; ++g) {
        const std::uint8_t* pb = pbData + 3 * g;
        pwData[2 * g] = static_cast<std::uint16_t>((pb[0] << 4) | (pb[1] >> 4));
        pwData[2 * g + 1] = static_cast<std::uint16_t>(((pb[1] & 0x0F) << 8) | pb[2]);
    }
}

// Bytes 96-127 of the sector are written as zero.
void PackSectorRX01(const std::uint16_t* pwData, std::uint8_t* pbData) {
    for (unsigned g = 0; g < RX01_WORDS_PER_SECTOR / 2; ++g) {
        unsigned w0 = pwData[2 * g] & 0xFFF;
        unsigned w1 = pwData[2 * g + 1] & 0xFFF;
        std::uint8_t* pb = pbData + 3 * g;
        pb[0] = static_cast<std::uint8_t>(w0 >> 4);
        pb[1] = static_cast<std::uint8_t>(((w0 & 0x0F) << 4) | (w1 >> 8));
        pb[2] = static_cast<std::uint8_t>(w1 & 0xFF);
    }
    std::memset(pbData + 3 * RX01_WORDS_PER_SECTOR / 2, 0,
                RX01_SECTOR_SIZE - 3 * RX01_WORDS_PER_SECTOR / 2);
}

// 192 bytes to 128 words, low bytes first, the two high nibbles in the third
// byte of each group.
void UnpackHalfBlockNB03(const std::uint8_t* pbData, std::uint16_t* pwData) {
    for (unsigned g = 0; g < NB03_WORDS_PER_HALF / 2; ++g) {
        const std::uint8_t* pb = pbData + 3 * g;
        pwData[2 * g] = static_cast<std::uint16_t>(pb[0] | ((pb[2] & 0x0F) << 8));
        pwData[2 * g + 1] = static_cast<std::uint16_t>(pb[1] | ((pb[2] & 0xF0) << 4));
    }
}

void PackHalfBlockNB03(const std::uint16_t* pwData, std::uint8_t* pbData) {
    for (unsigned g = 0; g < NB03_WORDS_PER_HALF / 2; ++g) {
        unsigned w0 = pwData[2 * g] & 0xFFF;
        unsigned w1 = pwData[2 * g + 1] & 0xFFF;
        std::uint8_t* pb = pbData + 3 * g;
        pb[0] = static_cast<std::uint8_t>(w0 & 0xFF);
        pb[1] = static_cast<std::uint8_t>(w1 & 0xFF);
        pb[2] = static_cast<std::uint8_t>(((w1 >> 8) << 4) | (w0 >> 8));
    }
}

// ---- RX01: 2:1 interleave, four sectors per block ---------------------------

void MapBlockRX01(unsigned nBlock, unsigned* pnTrack, unsigned* pnSector) {
    assert(nBlock < RX01_BLOCKS);
    unsigned q = nBlock / 13;
    unsigned r = nBlock % 13;
    *pnTrack = r <= 6 ? 2 * q + 1 : 2 * q + 2;
    *pnSector = StartSectorRX01[r];
}

// Within a track the order is 1, 3, ..., 25, 2, 4, ..., 26; a block running
// off sector 26 continues at sector 1 of the next track.
void NextSectorRX01(unsigned* pnTrack, unsigned* pnSector) {
    if (*pnSector == 26) {
        *pnSector = 1;
        ++*pnTrack;
    } else if (*pnSector == 25) {
        *pnSector = 2;
    } else {
        *pnSector += 2;
    }
}

unsigned SectorIndexRX01(unsigned nTrack, unsigned nSector) {
    assert(nTrack > 0 && nTrack <= 76 && nSector > 0 && nSector <= 26);
    return nTrack * RX01_SECTORS_PER_TRACK + nSector - 1;
}

// ---- RX50: one sector per block, 2:1 interleave, skew per track ------------

void MapBlockRX50(unsigned nBlock, unsigned* pnTrack, unsigned* pnSector) {
    assert(nBlock < RX50_BLOCKS);
    *pnTrack = nBlock / RX50_SECTORS_PER_TRACK + 1;
    unsigned nSector = 2 * (nBlock % RX50_SECTORS_PER_TRACK) + 1;
    if (nSector > RX50_SECTORS_PER_TRACK)
        nSector -= 9;
    *pnSector = nSector;
}

unsigned SectorIndexRX50(unsigned nTrack, unsigned nSector) {
    assert(nTrack > 0 && nTrack <= 80 && nSector > 0 && nSector <= 10);
    unsigned s = 5 - ((nTrack - 1) % 5);
    if (s == 5)
        s = 0;
    return nTrack * RX50_SECTORS_PER_TRACK + (nSector % 2 == 0 ? 5 : 0) +
           (((nSector - 1) / 2) + s) % 5;
}

// ---- RK05: two units of 3,248 blocks ----------------------------------------

unsigned MapBlockRK05(unsigned nBlock, unsigned nUnit) {
    assert(nBlock < RK05_BLOCKS && nUnit < RK05_UNITS);
    unsigned a = nBlock + nUnit * RK05_BLOCKS;
    unsigned nCylinder = a / 32;
    unsigned nSurface = (a % 32) / 16;
    unsigned nSector = a % 16;
    return (nCylinder * 2 + nSurface) * 16 + nSector;
}

// ---- NB03: 21 half-blocks of 192 bytes in each 4096-byte bank --------------

void MapHalfBlockNB03(unsigned nHalf, unsigned* pnBank, unsigned* pnOffset) {
    *pnBank = nHalf / NB03_HALVES_PER_BANK;
    *pnOffset = (nHalf % NB03_HALVES_PER_BANK) * NB03_HALF_BLOCK_SIZE;
}

// ---- HE02: one sector per block, partitions of 4,096 sectors ---------------

std::uint64_t LbaHE02(unsigned nBlock) {
    return std::uint64_t{g_mount.nPartition} * HE02_PARTITION_SECTORS + nBlock;
}

// The whole partitions of a drive of qSectors sectors; a count too large
// for 32 bits saturates.
std::uint32_t DrivePartitions(std::uint64_t qSectors) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(
        qSectors / HE02_PARTITION_SECTORS, std::numeric_limits<std::uint32_t>::max()));
}

// ---- TU56: two tape blocks per block ----------------------------------------

// Byte offset of half nHalf of block nBlock (words 0-127 or 128-255): the
// first 128 words of tape block 2 x nBlock + nHalf. A tape block is 129
// words, or 128 in the short form.
std::uint64_t OffsetTU56(unsigned nBlock, unsigned nHalf) {
    assert(nBlock < TU56_BLOCKS && nHalf < TU56_TAPE_BLOCKS_PER_BLOCK);
    unsigned nTapeBlock = nBlock * TU56_TAPE_BLOCKS_PER_BLOCK + nHalf;
    unsigned cbTapeBlock = g_mount.fTapeWords128 ? TU56_DATA_SIZE : TU56_TAPE_BLOCK_SIZE;
    return std::uint64_t{nTapeBlock} * cbTapeBlock;
}

// ---- RX02: two sectors per block, three-way interleave ----------------------

// Record r (two per block) lies on track r / 26 + 1 at sector
// (3 x (r mod 26)) mod 26 + 1: 1, 4, 7, ..., 25, 2, 5, ..., 26, 3, ..., 24.
// There is no skew between tracks, so a block may straddle two tracks.
std::uint64_t OffsetRX02(unsigned nBlock, unsigned nHalf) {
    assert(nBlock < RX02_BLOCKS && nHalf < RX02_SECTORS_PER_BLOCK);
    unsigned nRecord = nBlock * RX02_SECTORS_PER_BLOCK + nHalf;
    unsigned nTrack = nRecord / RX02_SECTORS_PER_TRACK + 1;
    unsigned nSector =
        (RX02_INTERLEAVE * (nRecord % RX02_SECTORS_PER_TRACK)) % RX02_SECTORS_PER_TRACK + 1;
    assert(nTrack < RX02_TRACKS);
    return (std::uint64_t{nTrack} * RX02_SECTORS_PER_TRACK + nSector - 1) * RX02_SECTOR_SIZE;
}

// A sector holds 128 words in its first 192 bytes, packed as RX01 packs 64
// words into 96; its last 64 bytes carry nothing.
void UnpackSectorRX02(const std::uint8_t* pbData, std::uint16_t* pwData) {
    UnpackSectorRX01(pbData, pwData);
    UnpackSectorRX01(pbData + 3 * RX01_WORDS_PER_SECTOR / 2, pwData + RX01_WORDS_PER_SECTOR);
}

void PackSectorRX02(const std::uint16_t* pwData, std::uint8_t* pbData) {
    PackSectorRX01(pwData, pbData);
    PackSectorRX01(pwData + RX01_WORDS_PER_SECTOR, pbData + 3 * RX01_WORDS_PER_SECTOR / 2);
    std::memset(pbData + 3 * RX02_WORDS_PER_SECTOR / 2, 0,
                RX02_SECTOR_SIZE - 3 * RX02_WORDS_PER_SECTOR / 2);
}

// ---- Runs of blocks -----------------------------------------------------------
// A run of up to DISK_RUN_BLOCKS blocks is split into pieces (a sector of
// RX01, RX02, RX50, RK05 or HE02, the data words of a TU56 tape block),
// each with its place in the image and in the caller's words. The pieces are laid out in the one transfer buffer in
// image order, so that pieces that follow each other in the image move in
// one transfer. An NB03 run moves the whole banks it touches.

struct Piece {
    std::uint64_t lOffset;  // in the image or on the drive
    unsigned nWord;         // first word in the caller's data
    unsigned nBuffer;       // first byte in the transfer buffer
};

constexpr unsigned MAX_SECTORS_PER_BLOCK = RX01_SECTORS_PER_BLOCK;
constexpr std::size_t RUN_BUFFER_SIZE =
    std::size_t{DISK_RUN_BLOCKS} * RX01_SECTORS_PER_BLOCK * RX01_SECTOR_SIZE;
static_assert(RUN_BUFFER_SIZE >= std::size_t{DISK_RUN_BLOCKS} * RK05_SECTOR_SIZE);
static_assert(RUN_BUFFER_SIZE >= std::size_t{DISK_RUN_BLOCKS} * RX02_SECTORS_PER_BLOCK * RX02_SECTOR_SIZE);
static_assert(RUN_BUFFER_SIZE >= std::size_t{DISK_RUN_BLOCKS} * TU56_TAPE_BLOCKS_PER_BLOCK * TU56_DATA_SIZE);
static_assert(MAX_SECTORS_PER_BLOCK >= RX02_SECTORS_PER_BLOCK &&
              MAX_SECTORS_PER_BLOCK >= TU56_TAPE_BLOCKS_PER_BLOCK);
// 2 x 64 half-blocks touch at most eight banks.
static_assert(RUN_BUFFER_SIZE >= 8u * NB03_BANK_SIZE);

// The one transfer buffer and piece list; nothing is allocated per block.
std::array<std::uint8_t, RUN_BUFFER_SIZE> g_abRun;
std::array<Piece, DISK_RUN_BLOCKS * MAX_SECTORS_PER_BLOCK> g_aPieces;

// The piece size of a device that moves in sectors or tape blocks. The
// pieces of a TU56 image in the 129-word form are never contiguous (the
// 129th word lies between them), so such a run moves piece by piece.
unsigned PieceSize(DiskType nDiskType) {
    switch (nDiskType) {
    case DiskType::RX01: return RX01_SECTOR_SIZE;
    case DiskType::RX02: return RX02_SECTOR_SIZE;
    case DiskType::TU56: return TU56_DATA_SIZE;
    default: return RX50_SECTOR_SIZE;
    }
}

// Fills g_aPieces for the run in image order; the number of pieces.
unsigned MapRun(unsigned nFirst, unsigned nCount) {
    unsigned nPieces = 0;
    for (unsigned n = 0; n < nCount; ++n) {
        unsigned nBlock = nFirst + n;
        unsigned nWord = n * DISK_BLOCK_WORDS;
        switch (g_mount.nDiskType) {
        case DiskType::RX01: {
            unsigned nTrack = 0, nSector = 0;
            MapBlockRX01(nBlock, &nTrack, &nSector);
            for (unsigned i = 0; i < RX01_SECTORS_PER_BLOCK; ++i) {
                if (i > 0)
                    NextSectorRX01(&nTrack, &nSector);
                g_aPieces[nPieces++] = {
                    std::uint64_t{SectorIndexRX01(nTrack, nSector)} * RX01_SECTOR_SIZE,
                    nWord + i * RX01_WORDS_PER_SECTOR, 0};
            }
            break;
        }
        case DiskType::RX50: {
            unsigned nTrack = 0, nSector = 0;
            MapBlockRX50(nBlock, &nTrack, &nSector);
            g_aPieces[nPieces++] = {
                std::uint64_t{SectorIndexRX50(nTrack, nSector)} * RX50_SECTOR_SIZE, nWord, 0};
            break;
        }
        case DiskType::RK05:
            g_aPieces[nPieces++] = {
                std::uint64_t{MapBlockRK05(nBlock, g_mount.nPartition)} * RK05_SECTOR_SIZE,
                nWord, 0};
            break;
        case DiskType::HE02:
            g_aPieces[nPieces++] = {LbaHE02(nBlock) * HE02_SECTOR_SIZE, nWord, 0};
            break;
        case DiskType::TU56:
            for (unsigned nHalf = 0; nHalf < TU56_TAPE_BLOCKS_PER_BLOCK; ++nHalf)
                g_aPieces[nPieces++] = {OffsetTU56(nBlock, nHalf), nWord + nHalf * TU56_DATA_WORDS, 0};
            break;
        case DiskType::RX02:
            for (unsigned nHalf = 0; nHalf < RX02_SECTORS_PER_BLOCK; ++nHalf)
                g_aPieces[nPieces++] = {OffsetRX02(nBlock, nHalf), nWord + nHalf * RX02_WORDS_PER_SECTOR,
                                        0};
            break;
        case DiskType::NB03:
        case DiskType::None:
            assert(false);
            break;
        }
    }
    std::sort(g_aPieces.begin(), g_aPieces.begin() + nPieces,
              [](const Piece& a, const Piece& b) { return a.lOffset < b.lOffset; });
    const unsigned cbPiece = PieceSize(g_mount.nDiskType);
    for (unsigned i = 0; i < nPieces; ++i)
        g_aPieces[i].nBuffer = i * cbPiece;
    return nPieces;
}

// Moves cb bytes of the transfer buffer at nBuffer to or from lOffset of the
// image or the drive; false (errno set) on failure. Bytes beyond the end of
// a short image read as zero.
bool MoveBytes(bool fWrite, unsigned nBuffer, std::size_t cb, std::uint64_t lOffset) {
    std::uint8_t* pbData = g_abRun.data() + nBuffer;
    if (!g_mount.fVirtualDisk) {
        return fWrite ? WriteSectorsDrive(lOffset / HE02_SECTOR_SIZE, cb / HE02_SECTOR_SIZE, pbData)
                      : ReadSectorsDrive(lOffset / HE02_SECTOR_SIZE, cb / HE02_SECTOR_SIZE, pbData);
    }
    if (fWrite)
        return WriteImageAt(pbData, cb, lOffset);
    std::size_t cbRead = 0;
    if (!ReadAt(g_mount.hVirtualDisk.Get(), pbData, cb, lOffset, &cbRead))
        return false;
    // The rest of a short image was never written.
    std::memset(pbData + cbRead, 0, cb - cbRead);
    return true;
}

// Moves the pieces of the run, one transfer for each stretch of pieces that
// follow each other in the image.
bool MovePieces(bool fWrite, unsigned nPieces, unsigned* pnFailed) {
    const unsigned cbPiece = PieceSize(g_mount.nDiskType);
    unsigned i = 0;
    while (i < nPieces) {
        unsigned j = i + 1;
        while (j < nPieces && g_aPieces[j].lOffset == g_aPieces[j - 1].lOffset + cbPiece)
            ++j;
        if (!MoveBytes(fWrite, g_aPieces[i].nBuffer, std::size_t{j - i} * cbPiece,
                       g_aPieces[i].lOffset)) {
            *pnFailed = g_aPieces[i].nWord / DISK_BLOCK_WORDS;
            return false;
        }
        i = j;
    }
    return true;
}

bool ReadRunSectors(unsigned nFirst, unsigned nCount, std::uint16_t* pwData, unsigned* pnFailed) {
    const unsigned nPieces = MapRun(nFirst, nCount);
    if (!MovePieces(false, nPieces, pnFailed))
        return false;
    for (unsigned i = 0; i < nPieces; ++i) {
        const Piece& piece = g_aPieces[i];
        const std::uint8_t* pbData = g_abRun.data() + piece.nBuffer;
        switch (g_mount.nDiskType) {
        case DiskType::RX01: UnpackSectorRX01(pbData, pwData + piece.nWord); break;
        case DiskType::RX02: UnpackSectorRX02(pbData, pwData + piece.nWord); break;
        case DiskType::TU56: UnpackWordsLE(pbData, pwData + piece.nWord, TU56_DATA_WORDS, true); break;
        case DiskType::RK05: UnpackWordsLE(pbData, pwData + piece.nWord, DISK_BLOCK_WORDS, false); break;
        default: UnpackWordsLE(pbData, pwData + piece.nWord, DISK_BLOCK_WORDS, true); break;
        }
    }
    return true;
}

bool WriteRunSectors(unsigned nFirst, unsigned nCount, const std::uint16_t* pwData,
                     unsigned* pnFailed) {
    const unsigned nPieces = MapRun(nFirst, nCount);
    for (unsigned i = 0; i < nPieces; ++i) {
        const Piece& piece = g_aPieces[i];
        std::uint8_t* pbData = g_abRun.data() + piece.nBuffer;
        switch (g_mount.nDiskType) {
        case DiskType::RX01: PackSectorRX01(pwData + piece.nWord, pbData); break;
        case DiskType::RX02: PackSectorRX02(pwData + piece.nWord, pbData); break;
        // Only the 128 data words of each tape block are written; a 129th
        // word keeps what the image holds.
        case DiskType::TU56: PackWordsLE(pwData + piece.nWord, pbData, TU56_DATA_WORDS); break;
        default: PackWordsLE(pwData + piece.nWord, pbData, DISK_BLOCK_WORDS); break;
        }
    }
    return MovePieces(true, nPieces, pnFailed);
}

// The banks that hold the half-blocks of the run.
void BanksOfRunNB03(unsigned nFirst, unsigned nCount, unsigned* pnFirstBank, unsigned* pnBanks) {
    assert(nCount > 0 && nFirst + nCount <= NB03_BLOCKS);
    unsigned nOffset = 0, nLastBank = 0;
    MapHalfBlockNB03(2 * nFirst, pnFirstBank, &nOffset);
    MapHalfBlockNB03(2 * (nFirst + nCount) - 1, &nLastBank, &nOffset);
    *pnBanks = nLastBank - *pnFirstBank + 1;
}

// The banks the run touches are read whole; a write packs its half-blocks
// into them and writes them back (read-modify-write), so the other
// half-blocks of each bank keep their contents.
bool TransferRunNB03(bool fWrite, unsigned nFirst, unsigned nCount, std::uint16_t* pwData) {
    unsigned nFirstBank = 0, nBanks = 0;
    BanksOfRunNB03(nFirst, nCount, &nFirstBank, &nBanks);
    const std::size_t cbBanks = std::size_t{nBanks} * NB03_BANK_SIZE;
    const std::uint64_t lOffset = std::uint64_t{nFirstBank} * NB03_BANK_SIZE;
    if (!MoveBytes(false, 0, cbBanks, lOffset))
        return false;
    for (unsigned h = 0; h < 2 * nCount; ++h) {
        unsigned nBank = 0, nOffset = 0;
        MapHalfBlockNB03(2 * nFirst + h, &nBank, &nOffset);
        std::uint8_t* pbHalf = g_abRun.data() + (nBank - nFirstBank) * NB03_BANK_SIZE + nOffset;
        if (fWrite)
            PackHalfBlockNB03(pwData + h * NB03_WORDS_PER_HALF, pbHalf);
        else
            UnpackHalfBlockNB03(pbHalf, pwData + h * NB03_WORDS_PER_HALF);
    }
    return !fWrite || MoveBytes(true, 0, cbBanks, lOffset);
}

// The device transfers of a run; false (errno set) on a fault, with
// *pnFailed the block of the run at which the failed transfer began.
bool TransferRun(bool fWrite, unsigned nFirst, unsigned nCount, std::uint16_t* pwData,
                 unsigned* pnFailed) {
    *pnFailed = 0;
    if (g_mount.nDiskType == DiskType::NB03)
        return TransferRunNB03(fWrite, nFirst, nCount, pwData);
    return fWrite ? WriteRunSectors(nFirst, nCount, pwData, pnFailed)
                  : ReadRunSectors(nFirst, nCount, pwData, pnFailed);
}

// Reports a device fault at block nBlock and abandons the command.
[[noreturn]] void ReportTransferFault(bool fWrite, unsigned nBlock, const char* pszError) {
    Message('E', "unable to %s block %u of %s: %s", fWrite ? "write" : "read", nBlock,
            g_mount.szDiskName.c_str(), pszError);
    AbortCommand();
}

// ---- Common to both directions ------------------------------------------------

// Blocks in the current unit or partition. A drive's last partition may be
// cut short by the end of the drive (a drive of fewer than 4,096 sectors has
// no whole partition, but its partition 0 still has its sectors).
std::uint64_t BlocksInUnit() {
    if (g_mount.nDiskType == DiskType::None)
        return 0;
    if (g_mount.nDiskType == DiskType::HE02 && !g_mount.fVirtualDisk) {
        std::uint64_t qStart = std::uint64_t{g_mount.nPartition} * HE02_PARTITION_SECTORS;
        std::uint64_t qSectors = g_mount.qDriveSectors;
        if (qSectors <= qStart)
            return 0;
        return std::min<std::uint64_t>(HE02_BLOCKS, qSectors - qStart);
    }
    return GetDeviceInfo(g_mount.nDiskType).nMappedBlocks;
}

// Counts the transfer, then refuses it when it is the injected fault or a
// block of the run lies outside the device; both before any file access.
void BeginTransfer(bool fWrite, unsigned nFirst, unsigned nCount) {
    ++g_nTransfers;
    g_nBlocksMoved += nCount;
    if (g_nFaultTransfer != 0 && g_nTransfers == g_nFaultTransfer) {
        g_nFaultTransfer = 0;
        ReportTransferFault(fWrite, nFirst, std::strerror(EIO));
    }
    const std::uint64_t qBlocks = BlocksInUnit();
    if (std::uint64_t{nFirst} + nCount > qBlocks) {
        const auto nOutside = static_cast<unsigned>(std::max<std::uint64_t>(nFirst, qBlocks));
        Message('E', "block %u is outside disk %s", nOutside, g_mount.szDiskName.c_str());
        AbortCommand();
    }
}

// Moves a run of blocks; a fault is reported at the first block of the
// transfer that failed, and abandons the command.
void TransferBlocks(bool fWrite, unsigned nFirst, unsigned nCount, std::uint16_t* pwData) {
    assert(IsDiskMounted());
    assert(!fWrite || !g_mount.fReadOnly);
    assert(nCount > 0 && nCount <= DISK_RUN_BLOCKS);
    BeginTransfer(fWrite, nFirst, nCount);
    unsigned nFailed = 0;
    if (!TransferRun(fWrite, nFirst, nCount, pwData, &nFailed))
        ReportTransferFault(fWrite, nFirst + nFailed, GetErrorText().c_str());
}

// A new image is written about a mebibyte at a time.
constexpr std::size_t ZERO_FILL_SIZE = std::size_t{1} << 20;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// Writes a new image of the device's full size, all zeros, in units of its
// sector, bank or tape block: as many whole units at a time as the zero
// buffer holds. The buffer lives only while the image is written, so it adds
// nothing to the memory the run needs later; should it not be had, one bank
// at a time is written instead. False (errno set) at the first write that
// fails.
bool ZeroFillDisk(const DeviceInfo& device) {
    const unsigned cbSector = device.cbSector;
    assert(cbSector > 0 && cbSector <= NB03_BANK_SIZE && device.cbImage % cbSector == 0);
    std::array<std::uint8_t, NB03_BANK_SIZE> abBank{};
    std::unique_ptr<std::uint8_t, FreeDeleter> pbBuffer(
        static_cast<std::uint8_t*>(std::calloc(ZERO_FILL_SIZE, 1)));
    const std::uint8_t* pbZero = pbBuffer ? pbBuffer.get() : abBank.data();
    const std::size_t cbZero = pbBuffer ? ZERO_FILL_SIZE : abBank.size();
    const std::uint64_t qSize = device.cbImage;
    const std::size_t cbChunk = cbZero / cbSector * cbSector;
    for (std::uint64_t lOffset = 0; lOffset < qSize; lOffset += cbChunk) {
        const auto cb = static_cast<std::size_t>(std::min<std::uint64_t>(cbChunk, qSize - lOffset));
        if (!WriteImageAt(pbZero, cb, lOffset))
            return false;
    }
    return true;
}

void SetMounted(bool fVirtual, bool fReadOnly, DiskType nDiskType,
                const std::string& name) {
    g_mount.fHaveIdentity =
        fVirtual ? HostFileIdOf(g_mount.hVirtualDisk.Get(), &g_mount.identity)
                 : HostFileIdOf(HostPath(name).c_str(), &g_mount.identity);
    // The name as the user meant it, without quotes, for the messages.
    g_mount.szDiskName = Unquote(name);
    g_mount.nDiskType = nDiskType;
    g_mount.fReadOnly = fReadOnly;
    g_mount.fVirtualDisk = fVirtual;
    g_mount.nPartition = 0;
    g_mount.fTapeWords128 = false;
    g_mount.qDriveSectors = 0;
}

// A TU56 image of exactly the size of the 128-word form is read and written
// in that form; every other size is the simulator's 129-word form.
bool IsTapeWords128(int fd) {
    std::uint64_t qSize = 0;
    bool fRegular = false;
    return QueryHostFile(fd, &qSize, &fRegular) && fRegular && qSize == TU56_IMAGE_128_BYTES;
}

// Opens the image file at the host path with nFlags (O_CREAT makes it with
// mode 0666), takes its lock, exclusive or shared, and keeps it as the
// mounted image. False (errno set) when it cannot be opened, or with
// g_fDiskInUse set when another program holds its lock.
bool OpenImageFile(const std::string& path, int nFlags, bool fExclusive) {
    HostFd hFile(::open(path.c_str(), nFlags | O_BINARY | O_CLOEXEC, 0666));
    if (!hFile.IsOpen())
        return false;
    if (!HostLockFile(hFile.Get(), fExclusive)) {
        g_fDiskInUse = true;
        return false;
    }
    g_mount.hVirtualDisk = std::move(hFile);
    return true;
}

}  // namespace

// ---- Block transfer -----------------------------------------------------------

void ReadBlock(unsigned nBlock, std::uint16_t* pwData) {
    TransferBlocks(false, nBlock, 1, pwData);
}

void WriteBlock(unsigned nBlock, const std::uint16_t* pwData) {
    // The words are only read on a write.
    TransferBlocks(true, nBlock, 1, const_cast<std::uint16_t*>(pwData));
}

void ReadBlocks(unsigned nFirst, unsigned nCount, std::uint16_t* pwData) {
    TransferBlocks(false, nFirst, nCount, pwData);
}

void WriteBlocks(unsigned nFirst, unsigned nCount, const std::uint16_t* pwData) {
    TransferBlocks(true, nFirst, nCount, const_cast<std::uint16_t*>(pwData));
}

// ---- Mount state ----------------------------------------------------------------

bool OpenDisk(bool fVirtual, bool fReadOnly, DiskType nDiskType,
              const std::string& name) {
    if (IsDiskMounted())
        CloseDisk();
    g_fDiskInUse = false;
    std::uint64_t qDriveBytes = 0;
    if (fVirtual) {
        if (!OpenImageFile(HostPath(name), fReadOnly ? O_RDONLY : O_RDWR, !fReadOnly))
            return false;
    } else {
        if (nDiskType != DiskType::HE02)
            return false;
        if (!OpenDriveHE02(name, &qDriveBytes))
            return false;
        Message('I', "HE02 supports %d OS/8 partitions",
                static_cast<int>(DrivePartitions(qDriveBytes / HE02_SECTOR_SIZE)));
        if (!LockDrive(!fReadOnly)) {
            g_fDiskInUse = true;
            ReleaseDrive();
            return false;
        }
    }
    SetMounted(fVirtual, fReadOnly, nDiskType, name);
    g_mount.qDriveSectors = qDriveBytes / HE02_SECTOR_SIZE;
    if (fVirtual && nDiskType == DiskType::TU56)
        g_mount.fTapeWords128 = IsTapeWords128(g_mount.hVirtualDisk.Get());
    return true;
}

bool CreateDisk(bool fVirtual, DiskType nDiskType, const std::string& name) {
    if (!fVirtual)
        return OpenDisk(false, false, nDiskType, name);
    if (IsDiskMounted())
        CloseDisk();
    g_fDiskInUse = false;
    std::string path = HostPath(name);
    // Locked before the zero fill, so no other program opens the new image
    // half written. The file is new, so only another program that opened it
    // in the meantime can hold it.
    if (!OpenImageFile(path, O_RDWR | O_CREAT | O_EXCL, true))
        return false;
    SetMounted(true, false, nDiskType, name);
    if (ZeroFillDisk(GetDeviceInfo(nDiskType)))
        return true;
    // A partly written image is no disk: drop it and leave nothing mounted.
    int nError = errno;
    CloseDisk();
    ::unlink(path.c_str());
    errno = nError;
    return false;
}

void CloseDisk() {
    assert(IsDiskMounted());
    if (g_mount.fVirtualDisk)
        g_mount.hVirtualDisk.Reset();
    else if (g_mount.nDiskType == DiskType::HE02)
        ReleaseDrive();
    g_mount.fVirtualDisk = false;
    g_mount.fReadOnly = false;
    g_mount.szDiskName.clear();
    g_mount.nDiskType = DiskType::None;
    g_mount.fHaveIdentity = false;
}

std::uint64_t GetImageBytes(DiskType nDiskType) {
    return GetDeviceInfo(nDiskType).cbImage;
}

bool IsMountedDisk(const std::string& hostPath) {
    if (!IsDiskMounted() || !g_mount.fHaveIdentity)
        return false;
    // Same file, however the path is spelled; or the same block device
    // through another device node.
    HostFileId id;
    return HostFileIdOf(HostPath(hostPath).c_str(), &id) && IsSameHostFileId(id, g_mount.identity);
}

bool WasDiskInUse() { return g_fDiskInUse; }

bool IsDiskMounted() { return g_mount.nDiskType != DiskType::None; }

DiskType GetDiskType() { return g_mount.nDiskType; }

const std::string& GetDiskName() { return g_mount.szDiskName; }

bool IsDiskReadOnly() { return g_mount.fReadOnly; }

bool SelectPartition(std::uint32_t nPartition) {
    switch (g_mount.nDiskType) {
    case DiskType::RK05:
        if (nPartition >= RK05_UNITS)
            return false;
        break;
    case DiskType::HE02:
        if (g_mount.fVirtualDisk || nPartition >= DrivePartitions(g_mount.qDriveSectors))
            return false;
        break;
    default:
        return false;
    }
    g_mount.nPartition = nPartition;
    return true;
}

bool GetPartition(std::uint32_t* pnPartition) {
    bool fHasPartitions =
        g_mount.nDiskType == DiskType::RK05 ||
        (g_mount.nDiskType == DiskType::HE02 && !g_mount.fVirtualDisk);
    if (pnPartition != nullptr)
        *pnPartition = fHasPartitions ? g_mount.nPartition : 0;
    return fHasPartitions;
}

// ---- Test seams -------------------------------------------------------------------

void SetBlockTransferFault(unsigned long nTransfer) {
    g_nFaultTransfer = nTransfer == 0 ? 0 : g_nTransfers + nTransfer;
}

unsigned long GetBlockTransferCount() { return g_nTransfers; }

unsigned long GetBlocksTransferred() { return g_nBlocksMoved; }

void SetImageWriteLimit(std::uint64_t lLimit) { g_qImageWriteLimit = lLimit; }
