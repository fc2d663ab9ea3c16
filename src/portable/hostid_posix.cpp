// File identity on POSIX hosts: device and inode from stat; file locks
// with flock.
#include <sys/file.h>

#include <cerrno>

#include "portable.h"

namespace {

HostFileId FromStat(const struct stat& st) {
    HostFileId id;
    id.nVolume = static_cast<std::uint64_t>(st.st_dev);
    id.nFile = static_cast<std::uint64_t>(st.st_ino);
    id.fBlockDevice = S_ISBLK(st.st_mode);
    id.nDevice = static_cast<std::uint64_t>(st.st_rdev);
    return id;
}

}  // namespace

bool HostFileIdOf(int fd, HostFileId* pId) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    *pId = FromStat(st);
    return true;
}

bool HostFileIdOf(const char* pszPath, HostFileId* pId) {
    struct stat st {};
    if (::stat(pszPath, &st) != 0)
        return false;
    *pId = FromStat(st);
    return true;
}

bool HostLockFile(int fd, bool fExclusive) {
    const int nOperation = (fExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (::flock(fd, nOperation) != 0) {
        if (errno == EINTR)
            continue;
        return errno != EWOULDBLOCK;
    }
    return true;
}
