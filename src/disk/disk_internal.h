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

// The physical drive (HE02), the host's own part of it: the host calls.
// OpenDriveHE02 opens it and gives its size in bytes (false after its E
// message); ReleaseDrive lets it go. The partitions are counted by the
// disk module, the same on every host.
bool OpenDriveHE02(const std::string& name, std::uint64_t* pqBytes);
void ReleaseDrive();

// Takes the host's lock on the open drive so that no other program writes
// it at the same time, as HostLockFile does for an image: exclusive for a
// writable mount, shared for a read-only one. False (errno set) only when
// another program holds a lock that conflicts.
bool LockDrive(bool fExclusive);
// Move nSectors 512-byte sectors of the drive from qLBA on; false (errno
// set) on failure. Sectors beyond the end of a drive image read as zero.
bool ReadSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, std::uint8_t* pbData);
bool WriteSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, const std::uint8_t* pbData);
// The host's text for the last failed image or drive transfer: errno's, or
// on Windows the drive's own error after a drive call failed.
std::string GetErrorText();
