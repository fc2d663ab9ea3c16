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
    TU56 = 5,
    RX02 = 6,
    None = 7,
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
// mounted, and writable for the writes (both checked by assertion: the
// commands check first).
void ReadBlock(unsigned nBlock, std::uint16_t* pwData);
void WriteBlock(unsigned nBlock, const std::uint16_t* pwData);
void ReadBlocks(unsigned nFirst, unsigned nCount, std::uint16_t* pwData);
void WriteBlocks(unsigned nFirst, unsigned nCount, const std::uint16_t* pwData);

// ---- Mount state ------------------------------------------------------------
// One disk at a time. Opening or creating a disk first closes the one
// mounted; a disk opened or created is current at partition (or unit) 0.

// Mounts an image file (fVirtual), for reading only or for reading and
// writing, or an HE02 drive. The image's size is not checked: a short image
// reads as zeros beyond its end. False, with nothing mounted, when it cannot
// be opened: an image without a message (GetErrorText gives the reason), a
// drive after its E message; a drive of another type than HE02 is refused.
bool OpenDisk(bool fVirtual, bool fReadOnly, DiskType nDiskType,
              const std::string& name);
// Creates a new image file of the full size of the type, all zeros, and
// mounts it for writing; a drive is opened as OpenDisk does. False, without
// a message and with nothing mounted, when the file exists or cannot be
// created or filled (errno holds the reason); no partial file is
// left behind.
bool CreateDisk(bool fVirtual, DiskType nDiskType, const std::string& name);
// Closes the mounted disk (a disk must be mounted).
void CloseDisk();
// True when the last OpenDisk or CreateDisk failed because another program
// holds the image or drive (its lock); the caller reports it.
bool WasDiskInUse();
bool IsDiskMounted();
DiskType GetDiskType();
// The name as given to OpenDisk or CreateDisk.
const std::string& GetDiskName();
bool IsDiskReadOnly();
// The full size in bytes of an image file of the type.
std::uint64_t GetImageBytes(DiskType nDiskType);
// True when the host path names the mounted image file or drive, by what
// the file is (on this host its device and inode), not by how it is
// spelled. A path that does not exist is not the mounted disk.
bool IsMountedDisk(const std::string& hostPath);
// Makes a unit of an RK05 disk (0 or 1) or a partition of an HE02 drive
// current. False, nothing changed and nothing printed, for any other number
// or disk.
bool SelectPartition(std::uint32_t nPartition);
// True with the current unit or partition when the disk has them (RK05,
// HE02 drive); false with 0 otherwise. pnPartition may be null.
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
// Makes every image-file write that would end beyond lLimit bytes fail as
// on a full host disk; 0 turns it off. It stands in for a full disk on a
// host without a file-size limit.
void SetImageWriteLimit(std::uint64_t lLimit);
