// Host files, on POSIX hosts and on Windows alike: the calls that differ
// between them come from portable.h.
#include "hostio.h"

#include <cerrno>

#include "portable.h"

bool HostFd::Reset(int fd) {
    bool fClosed = true;
    if (m_fd >= 0)
        fClosed = ::close(m_fd) == 0;
    m_fd = fd;
    return fClosed;
}

bool HostStream::Close() {
    bool fGood = std::fflush(m_pStream) == 0 && !std::ferror(m_pStream);
    fGood = std::fclose(m_pStream) == 0 && fGood;
    m_pStream = nullptr;
    return fGood;
}

PartialOutput::~PartialOutput() {
    if (m_fArmed)
        ::unlink(m_path.c_str());
}

void PartialOutput::Arm(int fd) { m_fArmed = IsRegularFile(fd); }

namespace {

// Calls transfer(cbDone) for the bytes after the first cbDone until cb
// bytes are in or the input ends, again when a call was interrupted; the
// bytes read, or -1 (errno set) when the host refuses.
template <typename Transfer>
long long ReadLoop(std::size_t cb, Transfer&& transfer) {
    std::size_t cbDone = 0;
    while (cbDone < cb) {
        const std::int64_t cbRead = transfer(cbDone);
        if (cbRead < 0 && errno == EINTR)
            continue;
        if (cbRead < 0)
            return -1;
        if (cbRead == 0)
            break;
        cbDone += static_cast<std::size_t>(cbRead);
    }
    return static_cast<long long>(cbDone);
}

// Calls transfer(cbDone) for the bytes after the first cbDone until all cb
// bytes are out, again when a call was interrupted; false (errno set) when
// the host refuses or takes nothing (ENOSPC).
template <typename Transfer>
bool WriteLoop(std::size_t cb, Transfer&& transfer) {
    std::size_t cbDone = 0;
    while (cbDone < cb) {
        const std::int64_t cbWritten = transfer(cbDone);
        if (cbWritten < 0 && errno == EINTR)
            continue;
        if (cbWritten < 0)
            return false;
        if (cbWritten == 0) {
            errno = ENOSPC;
            return false;
        }
        cbDone += static_cast<std::size_t>(cbWritten);
    }
    return true;
}

}  // namespace

bool ReadAt(int fd, std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset,
            std::size_t* pcbRead) {
    const long long cbRead = ReadLoop(cb, [&](std::size_t cbDone) {
        return HostReadAt(fd, pbData + cbDone, cb - cbDone, lOffset + cbDone);
    });
    if (cbRead < 0)
        return false;
    *pcbRead = static_cast<std::size_t>(cbRead);
    return true;
}

bool WriteAt(int fd, const std::uint8_t* pbData, std::size_t cb, std::uint64_t lOffset) {
    return WriteLoop(cb, [&](std::size_t cbDone) {
        return HostWriteAt(fd, pbData + cbDone, cb - cbDone, lOffset + cbDone);
    });
}

long long ReadFull(int fd, std::uint8_t* pbData, std::size_t cb) {
    return ReadLoop(cb, [&](std::size_t cbDone) { return HostRead(fd, pbData + cbDone, cb - cbDone); });
}

bool WriteAll(int fd, const std::uint8_t* pbData, std::size_t cb) {
    return WriteLoop(cb, [&](std::size_t cbDone) { return HostWrite(fd, pbData + cbDone, cb - cbDone); });
}

bool QueryHostFile(int fd, std::uint64_t* pqSize, bool* pfRegular) {
    HostFileInfo info;
    if (!HostFileStatus(fd, &info))
        return false;
    *pqSize = info.cbSize;
    *pfRegular = info.fRegular;
    return true;
}

bool IsRegularFile(int fd) {
    std::uint64_t qSize = 0;
    bool fRegular = false;
    return QueryHostFile(fd, &qSize, &fRegular) && fRegular;
}
