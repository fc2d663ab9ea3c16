// The positioned transfers that every image file (and the drive of a POSIX
// host) uses, with 64-bit offsets on every host.
#include <cerrno>
#include <cstring>

#include "disk.h"
#include "disk_internal.h"

namespace {

std::uint64_t g_lWriteLimit = 0;

}  // namespace

bool LockHostFile(int fd, bool fExclusive) { return HostLockFile(fd, fExclusive); }

void SetImageWriteLimit(std::uint64_t lLimit) { g_lWriteLimit = lLimit; }

bool ReadAt(int fd, std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset) {
    std::size_t cbDone = 0;
    while (cbDone < cb) {
        std::int64_t cbRead = HostReadAt(fd, pbData + cbDone, cb - cbDone, lOffset + cbDone);
        if (cbRead < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (cbRead == 0) {
            // End of a short image: the rest was never written.
            std::memset(pbData + cbDone, 0, cb - cbDone);
            break;
        }
        cbDone += static_cast<std::size_t>(cbRead);
    }
    return true;
}

bool WriteAt(int fd, const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset) {
    if (g_lWriteLimit != 0 && lOffset + cb > g_lWriteLimit) {
        errno = ENOSPC;
        return false;
    }
    std::size_t cbDone = 0;
    while (cbDone < cb) {
        std::int64_t cbWritten = HostWriteAt(fd, pbData + cbDone, cb - cbDone, lOffset + cbDone);
        if (cbWritten < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (cbWritten == 0) {
            errno = ENOSPC;
            return false;
        }
        cbDone += static_cast<std::size_t>(cbWritten);
    }
    return true;
}
