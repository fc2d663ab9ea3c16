// File identity on Windows: stat gives no inode there (st_ino is 0), so
// the volume serial number and the file index of the open handle tell
// whether two paths name one file. Files are locked with LockFileEx.
#include <cerrno>

#include "portable.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

bool FromHandle(HANDLE hFile, HostFileId* pId) {
    BY_HANDLE_FILE_INFORMATION info {};
    if (hFile == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(hFile, &info))
        return false;
    pId->nVolume = info.dwVolumeSerialNumber;
    pId->nFile = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    pId->fBlockDevice = false;
    pId->nDevice = 0;
    return true;
}

}  // namespace

bool HostFileIdOf(int fd, HostFileId* pId) {
    return FromHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), pId);
}

bool HostFileIdOf(const char* pszPath, HostFileId* pId) {
    // No access is asked for: only the file's information is read, and a
    // file that another handle holds open (or a folder) still opens.
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    const bool fOk = FromHandle(hFile, pId);
    CloseHandle(hFile);
    return fOk;
}

bool HostLockFile(int fd, bool fExclusive) {
    const HANDLE hFile = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where {};
    where.Offset = 0xFFFFFFFF;  // the last byte of the largest file
    where.OffsetHigh = 0x7FFFFFFF;
    const DWORD nFlags = LOCKFILE_FAIL_IMMEDIATELY | (fExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(hFile, nFlags, 0, 1, 0, &where))
        return true;
    if (GetLastError() != ERROR_LOCK_VIOLATION)
        return true;
    errno = EWOULDBLOCK;
    return false;
}
