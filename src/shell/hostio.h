// Host files: the owners of descriptors and streams, the guard that removes
// a partly written output file, and the transfers every module of orva uses
// on host files and image files. Each host call that can be interrupted is
// retried in one place here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

// An owned file descriptor, closed when it goes out of scope or is reset.
class HostFd {
public:
    HostFd() = default;
    explicit HostFd(int fd) : m_fd(fd) {}
    HostFd(const HostFd&) = delete;
    HostFd& operator=(const HostFd&) = delete;
    HostFd(HostFd&& other) noexcept : m_fd(other.Release()) {}
    HostFd& operator=(HostFd&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~HostFd() { Reset(); }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes the descriptor held (if any) and takes fd; false when the
    // close failed (what was written may not have reached the file).
    bool Reset(int fd = -1);

private:
    int m_fd = -1;
};

// An owned stream, closed when it goes out of scope. Close tells whether
// everything written reached the file.
class HostStream {
public:
    explicit HostStream(std::FILE* pStream = nullptr) : m_pStream(pStream) {}
    HostStream(const HostStream&) = delete;
    HostStream& operator=(const HostStream&) = delete;
    ~HostStream() {
        if (m_pStream != nullptr)
            std::fclose(m_pStream);
    }
    std::FILE* Get() const { return m_pStream; }
    bool IsOpen() const { return m_pStream != nullptr; }
    // Takes pStream, closing a stream held before without a check.
    void Reset(std::FILE* pStream) {
        if (m_pStream != nullptr)
            std::fclose(m_pStream);
        m_pStream = pStream;
    }
    // Flushes and closes; false when a write or the close failed.
    bool Close();

private:
    std::FILE* m_pStream;
};

// A host file being written. Once armed and until Keep() is called, the
// guard removes the file when it goes, so that a copy that failed or was
// abandoned leaves no partial file behind. Only a regular file is ever
// removed: an existing device such as /dev/null named as a destination
// stays.
class PartialOutput {
public:
    explicit PartialOutput(std::string path) : m_path(std::move(path)) {}
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;
    ~PartialOutput();
    void Arm(int fd);
    void Keep() { m_fArmed = false; }

private:
    std::string m_path;
    bool m_fArmed = false;
};

// Reads up to cb bytes at lOffset; *pcbRead is what the file held (less
// than cb only at its end). False (errno set) when the host refuses.
bool ReadAt(int fd, std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset,
            std::size_t* pcbRead);
// Writes cb bytes at lOffset, extending the file if needed. False (errno
// set) when the host refuses the write or takes nothing (ENOSPC).
bool WriteAt(int fd, const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset);
// Reads at the file position until cb bytes are in or the input ends; the
// bytes read, or -1 (errno set) on a read error.
long long ReadFull(int fd, std::uint8_t* pbData, std::size_t cb);
// Writes all cb bytes at the file position; false (errno set) otherwise.
bool WriteAll(int fd, const std::uint8_t* pbData, std::size_t cb);

// The size of an open file and whether it is a regular file; false (errno
// set) when the host cannot tell.
bool QueryHostFile(int fd, std::uint64_t* pqSize, bool* pfRegular);
bool IsRegularFile(int fd);
