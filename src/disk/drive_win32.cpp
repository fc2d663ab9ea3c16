// The physical-drive layer of Windows. A drive is named by its letter and a
// colon ("E:") and opened as the raw volume "\\.\E:"; its size comes from
// the drive geometry. Releasing the drive ejects its medium. The Win32 calls
// themselves are behind drive_win32.h, so that this file is the same for the
// real drive and for the fake one of the tests.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <limits>

#include "disk.h"
#include "disk_internal.h"
#include "drive_win32.h"
#include "shell.h"

namespace {

bool g_fDriveOpen = false;
DriveHandle g_hDrive = nullptr;

// The Win32 error of the last drive call that failed, until GetErrorText
// has told it; 0 when the last fault was one of an image file (errno).
std::uint32_t g_nDriveError = 0;

bool RecordDriveError() {
    g_nDriveError = DriveCallLastError();
    if (g_nDriveError == 0)
        g_nDriveError = 0x1F;  // ERROR_GEN_FAILURE: a failure without a code
    return false;
}

bool IsDriveLetterName(const std::string& name) {
    return name.size() == 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

}  // namespace

std::string GetErrorText() {
    if (g_nDriveError == 0)
        return std::strerror(errno);
    std::string text = DriveCallErrorText(g_nDriveError);
    g_nDriveError = 0;
    return text;
}

bool OpenDriveHE02(const std::string& name, std::uint64_t* pqBytes) {
    ReleaseDrive();
    if (!IsDriveLetterName(name)) {
        Message('E', "Use <drive letter>: as the device name to open a physical drive");
        return false;
    }
    // Read and write access even for a read-only mount: read-only is
    // enforced by the commands above the device.
    DriveHandle hDrive = nullptr;
    if (!DriveCallOpen("\\\\.\\" + name, &hDrive)) {
        RecordDriveError();
        Message('E', "Error opening the drive: %s", GetErrorText().c_str());
        return false;
    }
    DriveGeometry geometry;
    if (!DriveCallGetGeometry(hDrive, &geometry) || geometry.qCylinders < 0) {
        RecordDriveError();
        Message('E', "Error opening drive for I/O: %s", GetErrorText().c_str());
        DriveCallClose(hDrive);
        return false;
    }
    // 64-bit arithmetic; a geometry too large for it saturates.
    std::uint64_t qBytes = static_cast<std::uint64_t>(geometry.qCylinders);
    for (std::uint64_t nFactor : {std::uint64_t{geometry.nTracksPerCylinder},
                                  std::uint64_t{geometry.nSectorsPerTrack},
                                  std::uint64_t{geometry.cbBytesPerSector}}) {
        if (nFactor != 0 && qBytes > std::numeric_limits<std::uint64_t>::max() / nFactor)
            qBytes = std::numeric_limits<std::uint64_t>::max();
        else
            qBytes *= nFactor;
    }
    g_hDrive = hDrive;
    g_fDriveOpen = true;
    *pqBytes = qBytes;
    return true;
}

void ReleaseDrive() {
    if (!g_fDriveOpen)
        return;
    DriveCallEject(g_hDrive);
    DriveCallClose(g_hDrive);
    g_hDrive = nullptr;
    g_fDriveOpen = false;
}

// The drive is opened with a share mode that lets no other program open
// it for reading while it is in use (so no second orva), so it needs no
// lock of its own.
bool LockDrive(bool) { return true; }

// A run is at most a few dozen sectors: one call moves it.
bool ReadSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, std::uint8_t* pbData) {
    const auto cb = static_cast<std::uint32_t>(nSectors * HE02_SECTOR_SIZE);
    if (!DriveCallRead(g_hDrive, qLBA * HE02_SECTOR_SIZE, pbData, cb))
        return RecordDriveError();
    return true;
}

bool WriteSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, const std::uint8_t* pbData) {
    const auto cb = static_cast<std::uint32_t>(nSectors * HE02_SECTOR_SIZE);
    if (!DriveCallWrite(g_hDrive, qLBA * HE02_SECTOR_SIZE, pbData, cb))
        return RecordDriveError();
    return true;
}
