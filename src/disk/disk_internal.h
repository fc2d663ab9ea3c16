// Pieces of the DISKETTE module shared between the block mapping and mount
// state (disk.cpp) and the host's physical-drive layer (drive_posix.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hostio.h"

#include "devices.h"

// The physical drive (HE02). OpenDriveHE02 opens it and counts its
// partitions (false after its E message); ReleaseDrive lets it go.
bool OpenDriveHE02(const std::string& name);
void ReleaseDrive();
std::uint32_t GetDrivePartitionCount();
std::uint64_t GetDriveSectorCount();
// Move nSectors 512-byte sectors of the drive from qLBA on; false (errno
// set) on failure. Sectors beyond the end of a drive image read as zero.
bool ReadSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, std::uint8_t* pbData);
bool WriteSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, const std::uint8_t* pbData);
// The host's text for the last error (errno).
std::string GetErrorText();
