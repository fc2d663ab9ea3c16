// The physical-drive layer of a POSIX host. A drive is a path to a block device (its
// size from the kernel) or to a regular file holding a whole-drive image (its
// size from its length).
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disk.h"
#include "disk_internal.h"
#include "shell.h"

namespace {

HostFd g_hDrive;

// The size in bytes of the open drive; false (errno set) when it cannot be
// had or the path is neither a block device nor a regular file.
bool QueryDriveSize(int fd, std::uint64_t* pqBytes) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    if (S_ISBLK(st.st_mode)) {
        std::uint64_t qBytes = 0;
        if (::ioctl(fd, BLKGETSIZE64, &qBytes) != 0)
            return false;
        *pqBytes = qBytes;
        return true;
    }
    if (S_ISREG(st.st_mode)) {
        *pqBytes = static_cast<std::uint64_t>(st.st_size);
        return true;
    }
    errno = ENOTBLK;
    return false;
}

}  // namespace

bool LockDrive(bool fExclusive) { return HostLockFile(g_hDrive.Get(), fExclusive); }

std::string GetErrorText() {
    return std::strerror(errno);
}

bool OpenDriveHE02(const std::string& name, std::uint64_t* pqBytes) {
    ReleaseDrive();
    // Read and write access even for a read-only mount: read-only is
    // enforced by the commands above the device.
    HostFd hDrive(::open(HostPath(name).c_str(), O_RDWR | O_CLOEXEC));
    // errno is kept for the caller's message.
    if (!hDrive.IsOpen()) {
        int nError = errno;
        Message('E', "Error opening the drive: %s", GetErrorText().c_str());
        errno = nError;
        return false;
    }
    if (!QueryDriveSize(hDrive.Get(), pqBytes)) {
        int nError = errno;
        Message('E', "Error opening drive for I/O: %s", GetErrorText().c_str());
        errno = nError;
        return false;
    }
    g_hDrive = std::move(hDrive);
    return true;
}

void ReleaseDrive() {
    if (!g_hDrive.IsOpen())
        return;
    // Nothing is ejected on this host; what was written goes to the medium
    // before the drive is let go.
    ::fsync(g_hDrive.Get());
    g_hDrive.Reset();
}

bool ReadSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, std::uint8_t* pbData) {
    const std::size_t cb = nSectors * HE02_SECTOR_SIZE;
    std::size_t cbRead = 0;
    if (!ReadAt(g_hDrive.Get(), pbData, cb, qLBA * HE02_SECTOR_SIZE, &cbRead))
        return false;
    std::memset(pbData + cbRead, 0, cb - cbRead);
    return true;
}

bool WriteSectorsDrive(std::uint64_t qLBA, std::size_t nSectors, const std::uint8_t* pbData) {
    return WriteAt(g_hDrive.Get(), pbData, nSectors * HE02_SECTOR_SIZE, qLBA * HE02_SECTOR_SIZE);
}
