// File data between OS/8 blocks and host files: text, image and byte modes.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "os8_internal.h"
#include "shell.h"

namespace {

constexpr std::uint8_t ASCII_LF = 10;
constexpr std::uint8_t ASCII_CR = 13;
constexpr std::uint8_t ASCII_CTRL_Z = 26;
constexpr std::uint8_t ASCII_BIT7 = 0200;

using ByteBlock = std::array<std::uint8_t, OS8_BYTE_BLOCK_SIZE>;

// Writes all of the bytes, or fails.
bool WriteAll(int fd, const std::uint8_t* pbData, std::size_t cbData) {
    while (cbData > 0) {
        const ssize_t cbWritten = write(fd, pbData, cbData);
        if (cbWritten < 0 && errno == EINTR)
            continue;
        if (cbWritten <= 0)
            return false;
        pbData += cbWritten;
        cbData -= static_cast<std::size_t>(cbWritten);
    }
    return true;
}

// Reads until the buffer is full or the input ends; -1 on a read error.
ssize_t ReadFull(int fd, std::uint8_t* pbData, std::size_t cbData) {
    std::size_t cbRead = 0;
    while (cbRead < cbData) {
        const ssize_t cb = read(fd, pbData + cbRead, cbData - cbRead);
        if (cb < 0 && errno == EINTR)
            continue;
        if (cb < 0)
            return -1;
        if (cb == 0)
            break;
        cbRead += static_cast<std::size_t>(cb);
    }
    return static_cast<ssize_t>(cbRead);
}

// Reads a host text and hands each character to be stored to pfnPut, in
// order: the characters of every line, then CR and LF for its end. A line
// ends in LF or CR LF (the CR is part of the line end); a last line without
// one ends all the same; a line is kept whole however long it is. A
// control-Z ends the text, as it ends an OS/8 text file. pNotes (when
// given) learns what the conversion changed. False when the stream could
// not be read, or as soon as pfnPut returns false (*pfStopped is then set).
template <typename Put>
bool ReadHostText(std::FILE* pStream, Put&& pfnPut, bool* pfStopped, HostTextNotes* pNotes = nullptr) {
    *pfStopped = false;
    HostTextNotes notes;
    auto put = [&](std::uint8_t c) {
        if (!pfnPut(c)) {
            *pfStopped = true;
            return false;
        }
        return true;
    };
    auto endLine = [&] { return put(ASCII_CR) && put(ASCII_LF); };

    bool fOpen = false;     // a line has begun and not yet ended
    for (;;) {
        int c = std::getc(pStream);
        if (c == EOF)
            break;
        if (c == ASCII_CTRL_Z) {
            notes.fCutAtControlZ = std::getc(pStream) != EOF;
            break;
        }
        if (c == '\r') {
            const int cNext = std::getc(pStream);
            if (cNext == '\n') {
                c = '\n';
            } else if (cNext != EOF) {
                std::ungetc(cNext, pStream);
            }
        }
        if (c == '\n') {
            if (!endLine())
                return false;
            fOpen = false;
            continue;
        }
        if ((c & ASCII_BIT7) != 0)
            ++notes.nHighBit;
        if (!put(static_cast<std::uint8_t>(c)))
            return false;
        fOpen = true;
    }
    if (std::ferror(pStream))
        return false;
    if (fOpen && !endLine())
        return false;
    if (pNotes != nullptr)
        *pNotes = notes;
    return true;
}

// Sets *pfReadError when it is wanted.
void SetReadError(bool* pfReadError, bool fError) {
    if (pfReadError != nullptr)
        *pfReadError = fError;
}

// Applies the room rule to the blocks an import used.
bool RoomRule(unsigned nUsed, int* pnLength) {
    if (nUsed > static_cast<unsigned>(*pnLength)) {
        *pnLength = 0;
        return false;
    }
    *pnLength = static_cast<int>(nUsed);
    return true;
}

}  // namespace

void UnpackBlock(const std::uint16_t* pwData, std::uint8_t* pbData) {
    for (unsigned g = 0; g < OS8_BLOCK_SIZE / 2; ++g) {
        const std::uint16_t wA = pwData[2 * g];
        const std::uint16_t wB = pwData[2 * g + 1];
        pbData[3 * g] = static_cast<std::uint8_t>(wA & 0377);
        pbData[3 * g + 1] = static_cast<std::uint8_t>(wB & 0377);
        pbData[3 * g + 2] = static_cast<std::uint8_t>(((wA >> 4) & 0360) | ((wB >> 8) & 017));
    }
}

void PackBlock(const std::uint8_t* pbData, std::uint16_t* pwData) {
    for (unsigned g = 0; g < OS8_BLOCK_SIZE / 2; ++g) {
        const std::uint8_t bHigh = pbData[3 * g + 2];
        pwData[2 * g] = static_cast<std::uint16_t>(pbData[3 * g] | ((bHigh & 0360) << 4));
        pwData[2 * g + 1] = static_cast<std::uint16_t>(pbData[3 * g + 1] | ((bHigh & 017) << 8));
    }
}

// ---- Exports ------------------------------------------------------------------

// Streams the text to its first control-Z: NUL and CR vanish, LF ends a
// line, bit 7 is ignored, every other character is written. A last line
// without its line feed still ends with a newline.
bool CopyAsciiOut(unsigned nFirst, unsigned nCount, std::FILE* pStream) {
    BlockWords awData;
    ByteBlock abData;
    bool fLineOpen = false;
    bool fDone = false;
    for (unsigned n = 0; n < nCount && !fDone; ++n) {
        ReadBlock(nFirst + n, awData.data());
        UnpackBlock(awData.data(), abData.data());
        for (std::uint8_t b : abData) {
            const std::uint8_t c = b & 0177;
            if (c == ASCII_CTRL_Z) {
                fDone = true;
                break;
            }
            if (c == 0 || c == ASCII_CR)
                continue;
            if (std::fputc(c == ASCII_LF ? '\n' : c, pStream) == EOF)
                return false;
            fLineOpen = c != ASCII_LF;
        }
    }
    if (fLineOpen && std::fputc('\n', pStream) == EOF)
        return false;
    return std::fflush(pStream) == 0;
}

bool CopyImageOut(unsigned nFirst, unsigned nCount, int fd) {
    BlockWords awData;
    ByteBlock abData;
    for (unsigned n = 0; n < nCount; ++n) {
        ReadBlock(nFirst + n, awData.data());
        UnpackBlock(awData.data(), abData.data());
        if (!WriteAll(fd, abData.data(), abData.size()))
            return false;
    }
    return true;
}

bool CopyByteOut(unsigned nFirst, unsigned nCount, int fd) {
    BlockWords awData;
    std::array<std::uint8_t, OS8_BLOCK_SIZE> abData;
    for (unsigned n = 0; n < nCount; ++n) {
        ReadBlock(nFirst + n, awData.data());
        for (unsigned i = 0; i < OS8_BLOCK_SIZE; ++i)
            abData[i] = static_cast<std::uint8_t>(awData[i] & 0377);
        if (!WriteAll(fd, abData.data(), abData.size()))
            return false;
    }
    return true;
}

// ---- Imports --------------------------------------------------------------------

bool CopyAsciiIn(unsigned nFirst, int* pnLength, std::FILE* pStream, bool* pfReadError) {
    SetReadError(pfReadError, false);
    const unsigned nRoom = static_cast<unsigned>(std::max(*pnLength, 0));
    unsigned nUsed = 0;
    ByteBlock abData{};
    unsigned nFill = 0;

    // Writes the filled part of the buffer, zeros after it, as the next block.
    auto flush = [&]() {
        if (nFill == 0)
            return true;
        ++nUsed;
        if (nUsed > nRoom)
            return false;
        std::fill(abData.begin() + nFill, abData.end(), std::uint8_t{0});
        BlockWords awData;
        PackBlock(abData.data(), awData.data());
        WriteBlock(nFirst + nUsed - 1, awData.data());
        nFill = 0;
        return true;
    };
    auto put = [&](std::uint8_t c) {
        if (nFill == abData.size() && !flush())
            return false;
        abData[nFill++] = c | ASCII_BIT7;
        return true;
    };

    bool fStopped = false;
    if (!ReadHostText(pStream, put, &fStopped) && !fStopped) {
        SetReadError(pfReadError, true);
        *pnLength = 0;
        return false;
    }
    if (nUsed <= nRoom && put(ASCII_CTRL_Z))
        flush();
    return RoomRule(nUsed, pnLength);
}

namespace {

// The image and byte imports: reads records of cbRecord bytes, pads a short
// last one with zeros and writes each as the next block.
template <typename Pack>
bool CopyBinaryIn(unsigned nFirst, int* pnLength, int fd, bool* pfReadError, std::size_t cbRecord,
                  bool fWarnShort, Pack&& pack) {
    SetReadError(pfReadError, false);
    const unsigned nRoom = static_cast<unsigned>(std::max(*pnLength, 0));
    unsigned nUsed = 0;
    ByteBlock abData;
    for (;;) {
        const ssize_t cbRead = ReadFull(fd, abData.data(), cbRecord);
        if (cbRead < 0) {
            SetReadError(pfReadError, true);
            *pnLength = 0;
            return false;
        }
        if (cbRead == 0)
            break;
        if (static_cast<std::size_t>(cbRead) < cbRecord) {
            if (fWarnShort)
                Message('W', "Partial last block written (not an image file?)");
            std::fill(abData.begin() + cbRead, abData.begin() + static_cast<std::ptrdiff_t>(cbRecord),
                      std::uint8_t{0});
        }
        ++nUsed;
        if (nUsed > nRoom)
            break;
        BlockWords awData;
        pack(abData.data(), awData.data());
        WriteBlock(nFirst + nUsed - 1, awData.data());
        if (static_cast<std::size_t>(cbRead) < cbRecord)
            break;
    }
    return RoomRule(nUsed, pnLength);
}

}  // namespace

bool CopyImageIn(unsigned nFirst, int* pnLength, int fd, bool* pfReadError) {
    return CopyBinaryIn(nFirst, pnLength, fd, pfReadError, OS8_BYTE_BLOCK_SIZE, true, PackBlock);
}

bool CopyByteIn(unsigned nFirst, int* pnLength, int fd, bool* pfReadError) {
    return CopyBinaryIn(nFirst, pnLength, fd, pfReadError, OS8_BLOCK_SIZE, false,
                        [](const std::uint8_t* pbData, std::uint16_t* pwData) {
                            for (unsigned i = 0; i < OS8_BLOCK_SIZE; ++i)
                                pwData[i] = pbData[i];
                        });
}

// ---- Block counts -------------------------------------------------------------------

bool CountAsciiBlocks(std::FILE* pStream, unsigned long* pnBlocks, HostTextNotes* pNotes) {
    unsigned long nStored = 0;
    bool fStopped = false;
    const bool fRead = ReadHostText(
        pStream,
        [&](std::uint8_t) {
            ++nStored;
            return true;
        },
        &fStopped, pNotes);
    std::clearerr(pStream);
    if (!fRead || std::fseek(pStream, 0, SEEK_SET) != 0)
        return false;
    // The stored characters and the control-Z, 384 to a block.
    *pnBlocks = (nStored + 1 + OS8_BYTE_BLOCK_SIZE - 1) / OS8_BYTE_BLOCK_SIZE;
    return true;
}

bool CountBinaryBlocks(int fd, unsigned cbBlock, unsigned long* pnBlocks) {
    struct stat status {};
    if (cbBlock == 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const off_t cbPosition = lseek(fd, 0, SEEK_CUR);
    if (cbPosition < 0)
        return false;
    const unsigned long long cbRest =
        status.st_size > cbPosition ? static_cast<unsigned long long>(status.st_size - cbPosition) : 0;
    *pnBlocks = static_cast<unsigned long>((cbRest + cbBlock - 1) / cbBlock);
    return true;
}
