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

// ---- Block transfer --------------------------------------------------------
// Both move one 256-word block of the current unit or partition. A device
// fault or a block outside the device prints its E message and abandons the
// command (AbortCommand). A disk must be mounted, and writable for
// WriteBlock.
void ReadBlock(unsigned nBlock, std::uint16_t* pwData);
void WriteBlock(unsigned nBlock, const std::uint16_t* pwData);

// ---- Mount state ------------------------------------------------------------
bool OpenDisk(bool fVirtual, bool fReadOnly, DiskType nDiskType,
              const std::string& name);
bool CreateDisk(bool fVirtual, DiskType nDiskType, const std::string& name);
void CloseDisk();
// True when the last OpenDisk or CreateDisk failed because another program
// holds the image or drive (its lock); the caller reports it.
bool WasDiskInUse();
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
bool OpenDriveHE02(const std::string& name);
void ReleaseDrive();
std::string GetErrorText();

// ---- Test seams ---------------------------------------------------------------
// Makes the n-th block transfer (ReadBlock or WriteBlock call) from now fail
// as a device fault before anything is transferred; 0 turns it off.
void SetBlockTransferFault(unsigned long nTransfer);
// Block transfers (ReadBlock and WriteBlock calls) since the program began.
unsigned long GetBlockTransferCount();
