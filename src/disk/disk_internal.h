// Pieces of the DISKETTE module shared between the block mapping and mount
// state (disk.cpp) and the host's physical-drive layer (drive_posix.cpp or
// drive_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hostio.h"
#include "portable.h"

#include "devices.h"

// The physical drive (HE02). OpenDriveHE02 opens it and counts its
// partitions (false after its E message); ReleaseDrive lets it go.
bool OpenDriveHE02(const std::string& name);
void ReleaseDrive();

// Takes the host's advisory lock on an open image or drive so that no other
// program writes it at the same time: exclusive for a writable mount, shared
// for a read-only one. It lasts until the descriptor is closed. False (errno
// set) only when another open holds a lock that conflicts; a host file system
// that keeps no locks leaves the image unlocked and answers true.
bool LockHostFile(int fd, bool fExclusive);
// LockHostFile on the open drive.
bool LockDrive(bool fExclusive);
std::uint32_t GetDrivePartitionCount();
std::uint64_t GetDriveSectorCount();
// Move nSectors 512-byte sectors of the drive from qLBA on; false (errno
// set) on failure. Sectors beyond the end of a drive image read as zero.
bool ReadSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, std::uint8_t* pbData);
bool WriteSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, const std::uint8_t* pbData);
// The host's text for the last failed image or drive transfer: errno's, or
// on Windows the drive's own error after a drive call failed.
std::string GetErrorText();
