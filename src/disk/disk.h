// The DISKETTE module: the one mounted disk (an image file or a physical
// IDE drive) and the transfer of OS/8 blocks to and from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

enum class DiskType : std::uint8_t {
    RX01 = 0,
    RX50 = 1,
    NB03 = 2,
    HE02 = 3,
    RK05 = 4,
    None = 5,
};

inline constexpr unsigned DISK_BLOCK_WORDS = 256;
using BlockWords = std::array<std::uint16_t, DISK_BLOCK_WORDS>;

// The most blocks one ReadBlocks or WriteBlocks call moves.
inline constexpr unsigned DISK_RUN_BLOCKS = 64;

// ---- Block transfer --------------------------------------------------------
// ReadBlock and WriteBlock move one 256-word block of the current unit or
// partition; ReadBlocks and WriteBlocks move nCount (1 to DISK_RUN_BLOCKS)
// blocks from nFirst on, 256 words each, in as few transfers of the image
// or drive as the device's layout allows. Nothing is cached: the data is on
// the disk when a write returns. A device fault or a block outside the device
// prints its E message ("unable to read block ...", "unable to write block
// ...", "block %u is outside disk %s") and abandons the command
// (AbortCommand); a run outside the device moves nothing. A disk must be
// mounted, and writable for the writes.
void ReadBlock(unsigned nBlock, std::uint16_t* pwData);
void WriteBlock(unsigned nBlock, const std::uint16_t* pwData);
void ReadBlocks(unsigned nFirst, unsigned nCount, std::uint16_t* pwData);
void WriteBlocks(unsigned nFirst, unsigned nCount, const std::uint16_t* pwData);

// ---- Mount state ------------------------------------------------------------
bool OpenDisk(bool fVirtual, bool fReadOnly, DiskType nDiskType,
              const std::string& name);
bool CreateDisk(bool fVirtual, DiskType nDiskType, const std::string& name);
void CloseDisk();
bool IsDiskMounted();
DiskType GetDiskType();
const std::string& GetDiskName();
bool IsDiskReadOnly();
// The full size in bytes of an image file of the type.
std::uint64_t GetImageBytes(DiskType nDiskType);
// True when the host path names the mounted image file or drive, by what
// the file is (on this host its device and inode), not by how it is
// spelled. A path that does not exist is not the mounted disk.
bool IsMountedDisk(const std::string& hostPath);
bool SelectPartition(std::uint32_t nPartition);
bool GetPartition(std::uint32_t* pnPartition);

// ---- Test seams ---------------------------------------------------------------
// Makes the n-th block transfer (a call of ReadBlock, WriteBlock, ReadBlocks
// or WriteBlocks) from now fail as a device fault at its first block, before
// anything is transferred; 0 turns it off.
void SetBlockTransferFault(unsigned long nTransfer);
// Block transfers (calls as above) since the program began.
unsigned long GetBlockTransferCount();
// Blocks those transfers moved.
unsigned long GetBlocksTransferred();
