// The few host calls that differ between POSIX hosts and Windows, each under
// one name, so that the modules are written once for both. Both programs
// may use it; it holds no state.
//
// - O_BINARY: image, byte and disk files are opened with it. Windows opens
//   files in text mode by default, which would turn every CR LF into LF
//   and stop reading at a byte 26; POSIX has no text mode (0).
// - O_CLOEXEC: a descriptor is not passed to programs started by "!".
// - Offsets are 64 bits on both hosts: off_t has 32 bits under mingw-w64,
//   and a whole-drive image passes 2 GiB.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC O_NOINHERIT
#endif

// Moves the file position; the new position, or -1 (errno set).
inline std::int64_t HostSeek(int fd, std::int64_t lOffset, int nWhence) {
#ifdef _WIN32
    return _lseeki64(fd, lOffset, nWhence);
#else
    return ::lseek(fd, static_cast<off_t>(lOffset), nWhence);
#endif
}

// Reads or writes at most cb bytes at the file position; the bytes moved,
// or -1 (errno set). Windows takes at most an int's worth in one call.
inline std::int64_t HostRead(int fd, void* pbData, std::size_t cb) {
#ifdef _WIN32
    return _read(fd, pbData, static_cast<unsigned>(cb > 0x40000000 ? 0x40000000 : cb));
#else
    return ::read(fd, pbData, cb);
#endif
}

inline std::int64_t HostWrite(int fd, const void* pbData, std::size_t cb) {
#ifdef _WIN32
    return _write(fd, pbData, static_cast<unsigned>(cb > 0x40000000 ? 0x40000000 : cb));
#else
    return ::write(fd, pbData, cb);
#endif
}

// Reads or writes at most cb bytes at lOffset without moving the file
// position; the bytes moved, or -1 (errno set). Windows has no positioned
// transfer on a descriptor: there the position is moved to lOffset for the
// transfer and put back after it, so that a later transfer at the file
// position carries on where it was.
#ifdef _WIN32
template <typename Transfer>
std::int64_t HostTransferAt(int fd, std::uint64_t lOffset, Transfer&& transfer) {
    const std::int64_t lSaved = HostSeek(fd, 0, SEEK_CUR);
    if (lSaved < 0 || HostSeek(fd, static_cast<std::int64_t>(lOffset), SEEK_SET) < 0)
        return -1;
    const std::int64_t cbMoved = transfer();
    const int nError = errno;
    if (HostSeek(fd, lSaved, SEEK_SET) < 0)
        return -1;
    errno = nError;
    return cbMoved;
}
#endif

inline std::int64_t HostReadAt(int fd, void* pbData, std::size_t cb, std::uint64_t lOffset) {
#ifdef _WIN32
    return HostTransferAt(fd, lOffset, [&] { return HostRead(fd, pbData, cb); });
#else
    return ::pread(fd, pbData, cb, static_cast<off_t>(lOffset));
#endif
}

inline std::int64_t HostWriteAt(int fd, const void* pbData, std::size_t cb, std::uint64_t lOffset) {
#ifdef _WIN32
    return HostTransferAt(fd, lOffset, [&] { return HostWrite(fd, pbData, cb); });
#else
    return ::pwrite(fd, pbData, cb, static_cast<off_t>(lOffset));
#endif
}

// What fstat tells about an open file, with a 64-bit size.
struct HostFileInfo {
    std::uint64_t cbSize = 0;
    bool fRegular = false;
    bool fDirectory = false;
};

inline bool HostFileStatus(int fd, HostFileInfo* pInfo) {
#ifdef _WIN32
    struct _stati64 st {};
    if (_fstati64(fd, &st) != 0)
        return false;
#else
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
#endif
    pInfo->cbSize = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    pInfo->fRegular = S_ISREG(st.st_mode);
    pInfo->fDirectory = S_ISDIR(st.st_mode);
    return true;
}

// The local time of tNow; false when the host cannot convert it.
inline bool HostLocalTime(std::time_t tNow, std::tm* pLocal) {
#ifdef _WIN32
    return localtime_s(pLocal, &tNow) == 0;
#else
    return localtime_r(&tNow, pLocal) != nullptr;
#endif
}

// Puts standard output and standard error in binary mode, so that the
// bytes written are those that arrive ("\r\n" stays "\r\n" on Windows
// instead of becoming "\r\r\n"). Nothing to do on POSIX hosts.
inline void HostBinaryStdio() {
#ifdef _WIN32
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), O_BINARY);
    _setmode(_fileno(stderr), O_BINARY);
#endif
}

// What identifies a host file, whatever path names it: the device and
// inode on POSIX hosts (and the device number of a block device, which
// several device nodes may name); the volume serial number and file index
// on Windows, where stat gives no inode.
struct HostFileId {
    std::uint64_t nVolume = 0;
    std::uint64_t nFile = 0;
    bool fBlockDevice = false;
    std::uint64_t nDevice = 0;
};

// The identity of an open descriptor, or of the file a path names; false
// when the host cannot tell it.
bool HostFileIdOf(int fd, HostFileId* pId);
bool HostFileIdOf(const char* pszPath, HostFileId* pId);

// True when both identities are of the same file (or block device).
inline bool IsSameHostFileId(const HostFileId& a, const HostFileId& b) {
    if (a.nVolume == b.nVolume && a.nFile == b.nFile)
        return true;
    return a.fBlockDevice && b.fBlockDevice && a.nDevice == b.nDevice;
}

// Takes a lock on an open file that another open of it (in this program
// or another) cannot take at the same time: exclusive, or shared with
// other shared ones. It lasts until the descriptor is closed. flock on
// POSIX hosts; on Windows a lock on one byte far beyond any data, so that
// reads and writes of the file are not hindered by it. False only when a
// conflicting lock is held; a file system without locks answers true.
bool HostLockFile(int fd, bool fExclusive);
