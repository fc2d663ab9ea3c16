// Pieces of the DISKETTE module shared between the block mapping and mount
// state (disk.cpp), the image transfers (image_io.cpp) and the host's
// physical-drive layer (drive_posix.cpp or drive_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "portable.h"

#include "devices.h"

// An owned low-level file descriptor, closed when it goes out of scope or is
// reset.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~UniqueFd() { Reset(); }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes the descriptor held (if any); the result of close is returned
    // (0 when nothing was open).
    int Reset(int fd = -1) {
        int nResult = 0;
        if (m_fd >= 0)
            nResult = ::close(m_fd);
        m_fd = fd;
        return nResult;
    }

private:
    int m_fd = -1;
};

// Reads cb bytes at lOffset. Bytes beyond the end of the file read as zero.
// False (errno set) when the system refuses the read.
bool ReadAt(int fd, std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset);
// Writes cb bytes at lOffset, extending the file if needed. False (errno set)
// when the system refuses the write or writes nothing.
bool WriteAt(int fd, const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset);

// Takes the host's advisory lock on an open image or drive so that no other
// program writes it at the same time: exclusive for a writable mount, shared
// for a read-only one. It lasts until the descriptor is closed. False (errno
// set) only when another open holds a lock that conflicts; a host file system
// that keeps no locks leaves the image unlocked and answers true.
bool LockHostFile(int fd, bool fExclusive);
// LockHostFile on the open drive.
bool LockDrive(bool fExclusive);

// The open physical drive (HE02). OpenDriveHE02 and ReleaseDrive (disk.h)
// start and end it.
bool IsDriveOpen();
std::uint32_t GetDrivePartitionCount();
std::uint64_t GetDriveSectorCount();
// Move one 512-byte sector of the drive; false (errno set) on failure.
bool ReadSectorDrive(std::uint64_t qLBA, std::uint8_t* pbData);
bool WriteSectorDrive(std::uint64_t qLBA, const std::uint8_t* pbData);
