// The DISKETTE module: the one mount state of the run, image files, and the
// mapping of OS/8 blocks onto the sectors, banks and tape blocks of each
// device of the device table.
#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <cstring>
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
    UniqueFd hVirtualDisk;
    std::string szDiskName;
    std::uint32_t nPartition = 0;
    // A TU56 image in the 128-word form (recognised by its size when it is
    // opened) rather than the simulator's 129 words per tape block.
    bool fTapeWords128 = false;
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

using SectorBytes = std::array<std::uint8_t, 512>;

// Reports a device fault for block nBlock and abandons the command.
[[noreturn]] void ReportTransferFault(bool fWrite, unsigned nBlock,
                                      const std::string& errorText) {
    if (fWrite)
        Message('E', "unable to write block %u of %s: %s", nBlock,
                g_mount.szDiskName.c_str(), errorText.c_str());
    else
        Message('E', "unable to read block %u of %s: %s", nBlock,
                g_mount.szDiskName.c_str(), errorText.c_str());
    AbortCommand();
}

// One sector or bank of the image file. fWrite tells which block operation
// asked, for the message of a fault.
void ReadImage(std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset,
               bool fWrite, unsigned nBlock) {
    assert(g_mount.fVirtualDisk);
    if (!ReadAt(g_mount.hVirtualDisk.Get(), pbData, cb, lOffset))
        ReportTransferFault(fWrite, nBlock, GetErrorText());
}

void WriteImage(const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset,
                unsigned nBlock) {
    assert(g_mount.fVirtualDisk);
    if (!WriteAt(g_mount.hVirtualDisk.Get(), pbData, cb, lOffset))
        ReportTransferFault(true, nBlock, GetErrorText());
}

// ---- Word packing -----------------------------------------------------------

// 16-bit little-endian words; fMask drops the upper four bits on reading.
void UnpackWordsLE(const std::uint8_t* pbData, std::uint16_t* pwData, bool fMask,
                   unsigned nWords = DISK_BLOCK_WORDS) {
    for (unsigned i = 0; i < nWords; ++i) {
        unsigned nHigh = pbData[2 * i + 1];
        if (fMask)
            nHigh &= 0x0F;
        pwData[i] = static_cast<std::uint16_t>(pbData[2 * i] | (nHigh << 8));
    }
}

void PackWordsLE(const std::uint16_t* pwData, std::uint8_t* pbData,
                 unsigned nWords = DISK_BLOCK_WORDS) {
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

void PackSectorRX01(const std::uint16_t* pwData, std::uint8_t* pbData) {
    for (unsigned g = 0; g < RX01_WORDS_PER_SECTOR / 2; ++g) {
        unsigned w0 = pwData[2 * g] & 0xFFF;
        unsigned w1 = pwData[2 * g + 1] & 0xFFF;
        std::uint8_t* pb = pbData + 3 * g;
        pb[0] = static_cast<std::uint8_t>(w0 >> 4);
        pb[1] = static_cast<std::uint8_t>(((w0 & 0x0F) << 4) | (w1 >> 8));
        pb[2] = static_cast<std::uint8_t>(w1 & 0xFF);
    }
}

void UnpackSectorRX50(const std::uint8_t* pbData, std::uint16_t* pwData) {
    UnpackWordsLE(pbData, pwData, true);
}

void PackSectorRX50(const std::uint16_t* pwData, std::uint8_t* pbData) {
    PackWordsLE(pwData, pbData);
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

void ReadBlockRX01(unsigned nBlock, std::uint16_t* pwData) {
    unsigned nTrack = 0;
    unsigned nSector = 0;
    MapBlockRX01(nBlock, &nTrack, &nSector);
    std::array<std::uint8_t, RX01_SECTOR_SIZE> abSector{};
    for (unsigned i = 0; i < RX01_SECTORS_PER_BLOCK; ++i) {
        if (i > 0)
            NextSectorRX01(&nTrack, &nSector);
        std::uint64_t lOffset =
            std::uint64_t{SectorIndexRX01(nTrack, nSector)} * RX01_SECTOR_SIZE;
        ReadImage(abSector.data(), abSector.size(), lOffset, false, nBlock);
        UnpackSectorRX01(abSector.data(), pwData + i * RX01_WORDS_PER_SECTOR);
    }
}

void WriteBlockRX01(unsigned nBlock, const std::uint16_t* pwData) {
    unsigned nTrack = 0;
    unsigned nSector = 0;
    MapBlockRX01(nBlock, &nTrack, &nSector);
    std::array<std::uint8_t, RX01_SECTOR_SIZE> abSector{};  // bytes 96-127 stay 0
    for (unsigned i = 0; i < RX01_SECTORS_PER_BLOCK; ++i) {
        if (i > 0)
            NextSectorRX01(&nTrack, &nSector);
        std::uint64_t lOffset =
            std::uint64_t{SectorIndexRX01(nTrack, nSector)} * RX01_SECTOR_SIZE;
        PackSectorRX01(pwData + i * RX01_WORDS_PER_SECTOR, abSector.data());
        WriteImage(abSector.data(), abSector.size(), lOffset, nBlock);
    }
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

std::uint64_t OffsetRX50(unsigned nBlock) {
    unsigned nTrack = 0;
    unsigned nSector = 0;
    MapBlockRX50(nBlock, &nTrack, &nSector);
    return std::uint64_t{SectorIndexRX50(nTrack, nSector)} * RX50_SECTOR_SIZE;
}

void ReadBlockRX50(unsigned nBlock, std::uint16_t* pwData) {
    SectorBytes abSector{};
    ReadImage(abSector.data(), RX50_SECTOR_SIZE, OffsetRX50(nBlock), false, nBlock);
    UnpackSectorRX50(abSector.data(), pwData);
}

void WriteBlockRX50(unsigned nBlock, const std::uint16_t* pwData) {
    SectorBytes abSector{};
    PackSectorRX50(pwData, abSector.data());
    WriteImage(abSector.data(), RX50_SECTOR_SIZE, OffsetRX50(nBlock), nBlock);
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

void ReadBlockRK05(unsigned nBlock, std::uint16_t* pwData) {
    SectorBytes abSector{};
    std::uint64_t lOffset =
        std::uint64_t{MapBlockRK05(nBlock, g_mount.nPartition)} * RK05_SECTOR_SIZE;
    ReadImage(abSector.data(), RK05_SECTOR_SIZE, lOffset, false, nBlock);
    UnpackWordsLE(abSector.data(), pwData, false);
}

void WriteBlockRK05(unsigned nBlock, const std::uint16_t* pwData) {
    SectorBytes abSector{};
    std::uint64_t lOffset =
        std::uint64_t{MapBlockRK05(nBlock, g_mount.nPartition)} * RK05_SECTOR_SIZE;
    PackWordsLE(pwData, abSector.data());
    WriteImage(abSector.data(), RK05_SECTOR_SIZE, lOffset, nBlock);
}

// ---- NB03: 21 half-blocks of 192 bytes in each 4096-byte bank --------------

using BankBytes = std::array<std::uint8_t, NB03_BANK_SIZE>;

void MapHalfBlockNB03(unsigned nHalf, unsigned* pnBank, unsigned* pnOffset) {
    *pnBank = nHalf / NB03_HALVES_PER_BANK;
    *pnOffset = (nHalf % NB03_HALVES_PER_BANK) * NB03_HALF_BLOCK_SIZE;
}

void ReadBankNB03(unsigned nBank, BankBytes& abBank, bool fWrite, unsigned nBlock) {
    ReadImage(abBank.data(), NB03_BANK_SIZE, std::uint64_t{nBank} * NB03_BANK_SIZE,
              fWrite, nBlock);
}

void WriteBankNB03(unsigned nBank, const BankBytes& abBank, unsigned nBlock) {
    WriteImage(abBank.data(), NB03_BANK_SIZE, std::uint64_t{nBank} * NB03_BANK_SIZE,
               nBlock);
}

void ReadBlockNB03(unsigned nBlock, std::uint16_t* pwData) {
    assert(nBlock < NB03_BLOCKS);
    unsigned nBank1 = 0, nOffset1 = 0, nBank2 = 0, nOffset2 = 0;
    MapHalfBlockNB03(2 * nBlock, &nBank1, &nOffset1);
    MapHalfBlockNB03(2 * nBlock + 1, &nBank2, &nOffset2);
    BankBytes abBank{};
    ReadBankNB03(nBank1, abBank, false, nBlock);
    UnpackHalfBlockNB03(abBank.data() + nOffset1, pwData);
    if (nBank2 != nBank1)
        ReadBankNB03(nBank2, abBank, false, nBlock);
    UnpackHalfBlockNB03(abBank.data() + nOffset2, pwData + NB03_WORDS_PER_HALF);
}

// Read-modify-write of whole banks, so the other half-blocks of each bank
// keep their contents.
void WriteBlockNB03(unsigned nBlock, const std::uint16_t* pwData) {
    assert(nBlock < NB03_BLOCKS);
    unsigned nBank1 = 0, nOffset1 = 0, nBank2 = 0, nOffset2 = 0;
    MapHalfBlockNB03(2 * nBlock, &nBank1, &nOffset1);
    MapHalfBlockNB03(2 * nBlock + 1, &nBank2, &nOffset2);
    BankBytes abBank{};
    ReadBankNB03(nBank1, abBank, true, nBlock);
    PackHalfBlockNB03(pwData, abBank.data() + nOffset1);
    if (nBank2 != nBank1) {
        WriteBankNB03(nBank1, abBank, nBlock);
        ReadBankNB03(nBank2, abBank, true, nBlock);
    }
    PackHalfBlockNB03(pwData + NB03_WORDS_PER_HALF, abBank.data() + nOffset2);
    WriteBankNB03(nBank2, abBank, nBlock);
}

// ---- HE02: one sector per block, partitions of 4,096 sectors ---------------

std::uint64_t LbaHE02(unsigned nBlock) {
    return std::uint64_t{g_mount.nPartition} * HE02_PARTITION_SECTORS + nBlock;
}

void ReadSectorHE02(unsigned nBlock, std::uint16_t* pwData) {
    SectorBytes abSector{};
    std::uint64_t qLBA = LbaHE02(nBlock);
    if (g_mount.fVirtualDisk)
        ReadImage(abSector.data(), HE02_SECTOR_SIZE, qLBA * HE02_SECTOR_SIZE, false, nBlock);
    else if (!ReadSectorDrive(qLBA, abSector.data()))
        ReportTransferFault(false, nBlock, GetErrorText());
    UnpackWordsLE(abSector.data(), pwData, true);
}

void WriteSectorHE02(unsigned nBlock, const std::uint16_t* pwData) {
    SectorBytes abSector{};
    std::uint64_t qLBA = LbaHE02(nBlock);
    PackWordsLE(pwData, abSector.data());
    if (g_mount.fVirtualDisk)
        WriteImage(abSector.data(), HE02_SECTOR_SIZE, qLBA * HE02_SECTOR_SIZE, nBlock);
    else if (!WriteSectorDrive(qLBA, abSector.data()))
        ReportTransferFault(true, nBlock, GetErrorText());
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

void ReadBlockTU56(unsigned nBlock, std::uint16_t* pwData) {
    std::array<std::uint8_t, TU56_DATA_SIZE> abData{};
    for (unsigned nHalf = 0; nHalf < TU56_TAPE_BLOCKS_PER_BLOCK; ++nHalf) {
        ReadImage(abData.data(), abData.size(), OffsetTU56(nBlock, nHalf), false, nBlock);
        UnpackWordsLE(abData.data(), pwData + nHalf * TU56_DATA_WORDS, true, TU56_DATA_WORDS);
    }
}

// Only the 128 data words of each tape block are written; the 129th word
// keeps what the image holds.
void WriteBlockTU56(unsigned nBlock, const std::uint16_t* pwData) {
    std::array<std::uint8_t, TU56_DATA_SIZE> abData{};
    for (unsigned nHalf = 0; nHalf < TU56_TAPE_BLOCKS_PER_BLOCK; ++nHalf) {
        PackWordsLE(pwData + nHalf * TU56_DATA_WORDS, abData.data(), TU56_DATA_WORDS);
        WriteImage(abData.data(), abData.size(), OffsetTU56(nBlock, nHalf), nBlock);
    }
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
}

void ReadBlockRX02(unsigned nBlock, std::uint16_t* pwData) {
    std::array<std::uint8_t, RX02_SECTOR_SIZE> abSector{};
    for (unsigned nHalf = 0; nHalf < RX02_SECTORS_PER_BLOCK; ++nHalf) {
        ReadImage(abSector.data(), abSector.size(), OffsetRX02(nBlock, nHalf), false, nBlock);
        UnpackSectorRX02(abSector.data(), pwData + nHalf * RX02_WORDS_PER_SECTOR);
    }
}

void WriteBlockRX02(unsigned nBlock, const std::uint16_t* pwData) {
    std::array<std::uint8_t, RX02_SECTOR_SIZE> abSector{};  // bytes 192-255 stay 0
    for (unsigned nHalf = 0; nHalf < RX02_SECTORS_PER_BLOCK; ++nHalf) {
        PackSectorRX02(pwData + nHalf * RX02_WORDS_PER_SECTOR, abSector.data());
        WriteImage(abSector.data(), abSector.size(), OffsetRX02(nBlock, nHalf), nBlock);
    }
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
        std::uint64_t qSectors = GetDriveSectorCount();
        if (qSectors <= qStart)
            return 0;
        return std::min<std::uint64_t>(HE02_BLOCKS, qSectors - qStart);
    }
    return GetDeviceInfo(g_mount.nDiskType).nMappedBlocks;
}

// Counts the transfer, then refuses it when it is the injected fault or its
// block lies outside the device; both before any file access.
void BeginTransfer(bool fWrite, unsigned nBlock) {
    ++g_nTransfers;
    if (g_nFaultTransfer != 0 && g_nTransfers == g_nFaultTransfer) {
        g_nFaultTransfer = 0;
        ReportTransferFault(fWrite, nBlock, std::strerror(EIO));
    }
    if (nBlock >= BlocksInUnit()) {
        Message('E', "block %u is outside disk %s", nBlock, g_mount.szDiskName.c_str());
        AbortCommand();
    }
}

struct ImageGeometry {
    unsigned cbSector;
    unsigned nSectors;
};

// A new image is the device's full size, written in units of its sector,
// bank or tape block.
ImageGeometry GetImageGeometry(DiskType nDiskType) {
    const DeviceInfo& device = GetDeviceInfo(nDiskType);
    assert(device.cbImage % device.cbSector == 0);
    return {device.cbSector, static_cast<unsigned>(device.cbImage / device.cbSector)};
}

// Writes nSectors zero sectors of cbSector bytes from the start of the image.
bool ZeroFillDisk(unsigned cbSector, unsigned nSectors) {
    assert(cbSector <= NB03_BANK_SIZE);
    BankBytes abZero{};
    for (unsigned i = 0; i < nSectors; ++i) {
        if (!WriteAt(g_mount.hVirtualDisk.Get(), abZero.data(), cbSector,
                     std::uint64_t{i} * cbSector))
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
}

// A TU56 image of exactly the size of the 128-word form is read and written
// in that form; every other size is the simulator's 129-word form.
bool IsTapeWords128(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<std::uint64_t>(st.st_size) == TU56_IMAGE_128_BYTES;
}

}  // namespace

// ---- Block transfer -----------------------------------------------------------

void ReadBlock(unsigned nBlock, std::uint16_t* pwData) {
    assert(IsDiskMounted());
    BeginTransfer(false, nBlock);
    switch (g_mount.nDiskType) {
    case DiskType::RX01: ReadBlockRX01(nBlock, pwData); break;
    case DiskType::RX50: ReadBlockRX50(nBlock, pwData); break;
    case DiskType::NB03: ReadBlockNB03(nBlock, pwData); break;
    case DiskType::HE02: ReadSectorHE02(nBlock, pwData); break;
    case DiskType::RK05: ReadBlockRK05(nBlock, pwData); break;
    case DiskType::TU56: ReadBlockTU56(nBlock, pwData); break;
    case DiskType::RX02: ReadBlockRX02(nBlock, pwData); break;
    case DiskType::None: assert(false); break;
    }
}

void WriteBlock(unsigned nBlock, const std::uint16_t* pwData) {
    assert(IsDiskMounted());
    assert(!g_mount.fReadOnly);
    BeginTransfer(true, nBlock);
    switch (g_mount.nDiskType) {
    case DiskType::RX01: WriteBlockRX01(nBlock, pwData); break;
    case DiskType::RX50: WriteBlockRX50(nBlock, pwData); break;
    case DiskType::NB03: WriteBlockNB03(nBlock, pwData); break;
    case DiskType::HE02: WriteSectorHE02(nBlock, pwData); break;
    case DiskType::RK05: WriteBlockRK05(nBlock, pwData); break;
    case DiskType::TU56: WriteBlockTU56(nBlock, pwData); break;
    case DiskType::RX02: WriteBlockRX02(nBlock, pwData); break;
    case DiskType::None: assert(false); break;
    }
}

// ---- Mount state ----------------------------------------------------------------

bool OpenDisk(bool fVirtual, bool fReadOnly, DiskType nDiskType,
              const std::string& name) {
    if (IsDiskMounted())
        CloseDisk();
    g_fDiskInUse = false;
    if (fVirtual) {
        int nFlags = (fReadOnly ? O_RDONLY : O_RDWR) | O_BINARY | O_CLOEXEC;
        UniqueFd hFile(::open(HostPath(name).c_str(), nFlags));
        if (!hFile.IsOpen())
            return false;
        if (!LockHostFile(hFile.Get(), !fReadOnly)) {
            g_fDiskInUse = true;
            return false;
        }
        g_mount.hVirtualDisk = std::move(hFile);
    } else {
        if (nDiskType != DiskType::HE02)
            return false;
        if (!OpenDriveHE02(name))
            return false;
        if (!LockDrive(!fReadOnly)) {
            g_fDiskInUse = true;
            ReleaseDrive();
            return false;
        }
    }
    SetMounted(fVirtual, fReadOnly, nDiskType, name);
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
    ImageGeometry geometry = GetImageGeometry(nDiskType);
    std::string path = HostPath(name);
    UniqueFd hFile(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0666));
    if (!hFile.IsOpen())
        return false;
    // Locked before the zero fill, so no other program opens the new image
    // half written. The file is new, so only another program that opened it
    // in the meantime can hold it.
    if (!LockHostFile(hFile.Get(), true)) {
        g_fDiskInUse = true;
        return false;
    }
    g_mount.hVirtualDisk = std::move(hFile);
    SetMounted(true, false, nDiskType, name);
    if (ZeroFillDisk(geometry.cbSector, geometry.nSectors))
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
        if (g_mount.fVirtualDisk || nPartition >= GetDrivePartitionCount())
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
