// File data between OS/8 blocks and host files: text, image and byte modes.
#include <algorithm>
#include <array>

#include "hostio.h"
#include "os8_internal.h"
#include "shell.h"

namespace {

constexpr std::uint8_t ASCII_LF = 10;
constexpr std::uint8_t ASCII_CR = 13;
constexpr std::uint8_t ASCII_CTRL_Z = 26;
constexpr std::uint8_t ASCII_BIT7 = 0200;

using ByteBlock = std::array<std::uint8_t, OS8_BYTE_BLOCK_SIZE>;

// The blocks of a file move in runs of up to DISK_RUN_BLOCKS through these
// buffers, the one set of the module: nothing is allocated per block.
std::array<std::uint16_t, DISK_RUN_BLOCKS * OS8_BLOCK_SIZE> g_awRun;
std::array<std::uint8_t, DISK_RUN_BLOCKS * OS8_BYTE_BLOCK_SIZE> g_abRun;

// The blocks of the next run of a file from nBlock on, with nLeft blocks to
// go: at most a buffer full, and never past the end of the unit, so that a
// file whose length runs off the disk is read up to the last block inside
// and only the block outside is refused, as it is block by block.
unsigned RunLength(unsigned nBlock, unsigned nLeft) {
    const unsigned nUnit = UnitBlocks();
    const unsigned nInside = nBlock < nUnit ? nUnit - nBlock : 1;
    return std::min({nLeft, DISK_RUN_BLOCKS, nInside});
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

// Applies the room rule to the blocks an import used.
ImportResult RoomRule(unsigned nUsed, int* pnLength) {
    if (nUsed > static_cast<unsigned>(*pnLength)) {
        *pnLength = 0;
        return ImportResult::NoRoom;
    }
    *pnLength = static_cast<int>(nUsed);
    return ImportResult::Written;
}

// Blocks an import has packed into g_awRun and not yet written: they go to
// the disk in one run when the buffer is full, before a message, and at the
// end.
struct PendingRun {
    unsigned nFirst;    // disk block of g_awRun's first block
    unsigned nBlocks = 0;

    std::uint16_t* Next() { return g_awRun.data() + std::size_t{nBlocks++} * OS8_BLOCK_SIZE; }
    bool IsFull() const { return nBlocks == DISK_RUN_BLOCKS; }
    void Flush() {
        if (nBlocks > 0)
            WriteBlocks(nFirst, nBlocks, g_awRun.data());
        nFirst += nBlocks;
        nBlocks = 0;
    }
};

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
    bool fLineOpen = false;
    bool fDone = false;
    for (unsigned n = 0; n < nCount && !fDone;) {
        const unsigned nRun = RunLength(nFirst + n, nCount - n);
        ReadBlocks(nFirst + n, nRun, g_awRun.data());
        n += nRun;
        for (unsigned nBlock = 0; nBlock < nRun && !fDone; ++nBlock) {
            std::uint8_t* pbBlock = g_abRun.data();
            UnpackBlock(g_awRun.data() + std::size_t{nBlock} * OS8_BLOCK_SIZE, pbBlock);
            for (unsigned i = 0; i < OS8_BYTE_BLOCK_SIZE; ++i) {
                const std::uint8_t c = pbBlock[i] & 0177;
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
    }
    if (fLineOpen && std::fputc('\n', pStream) == EOF)
        return false;
    return std::fflush(pStream) == 0;
}

namespace {

// The image and byte exports: each run of blocks is read, converted to
// cbRecord bytes a block, and written to the host file in one call.
template <typename Unpack>
bool CopyBinaryOut(unsigned nFirst, unsigned nCount, int fd, std::size_t cbRecord, Unpack&& unpack) {
    for (unsigned n = 0; n < nCount;) {
        const unsigned nRun = RunLength(nFirst + n, nCount - n);
        ReadBlocks(nFirst + n, nRun, g_awRun.data());
        n += nRun;
        for (unsigned nBlock = 0; nBlock < nRun; ++nBlock)
            unpack(g_awRun.data() + std::size_t{nBlock} * OS8_BLOCK_SIZE,
                   g_abRun.data() + nBlock * cbRecord);
        if (!WriteAll(fd, g_abRun.data(), nRun * cbRecord))
            return false;
    }
    return true;
}

}  // namespace

bool CopyImageOut(unsigned nFirst, unsigned nCount, int fd) {
    return CopyBinaryOut(nFirst, nCount, fd, OS8_BYTE_BLOCK_SIZE, UnpackBlock);
}

bool CopyByteOut(unsigned nFirst, unsigned nCount, int fd) {
    return CopyBinaryOut(nFirst, nCount, fd, OS8_BLOCK_SIZE,
                         [](const std::uint16_t* pwData, std::uint8_t* pbData) {
                             for (unsigned i = 0; i < OS8_BLOCK_SIZE; ++i)
                                 pbData[i] = static_cast<std::uint8_t>(pwData[i] & 0377);
                         });
}

// ---- Imports --------------------------------------------------------------------

ImportResult CopyAsciiIn(unsigned nFirst, int* pnLength, std::FILE* pStream) {
    const unsigned nRoom = static_cast<unsigned>(std::max(*pnLength, 0));
    unsigned nUsed = 0;
    PendingRun pending{nFirst};
    ByteBlock abData{};
    unsigned nFill = 0;

    // Packs the filled part of the buffer, zeros after it, as the next block.
    auto flush = [&]() {
        if (nFill == 0)
            return true;
        ++nUsed;
        if (nUsed > nRoom)
            return false;
        std::fill(abData.begin() + nFill, abData.end(), std::uint8_t{0});
        if (pending.IsFull())
            pending.Flush();
        PackBlock(abData.data(), pending.Next());
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
        *pnLength = 0;
        return ImportResult::ReadError;
    }
    if (nUsed <= nRoom && put(ASCII_CTRL_Z))
        flush();
    pending.Flush();
    return RoomRule(nUsed, pnLength);
}

namespace {

// The image and byte imports: reads the host file a buffer full at a time,
// takes records of cbRecord bytes from it, pads a short last one with zeros
// and packs each as the next block.
template <typename Pack>
ImportResult CopyBinaryIn(unsigned nFirst, int* pnLength, int fd, std::size_t cbRecord,
                          bool fWarnShort, Pack&& pack) {
    const unsigned nRoom = static_cast<unsigned>(std::max(*pnLength, 0));
    unsigned nUsed = 0;
    PendingRun pending{nFirst};
    for (;;) {
        const long long cbRead = ReadFull(fd, g_abRun.data(), DISK_RUN_BLOCKS * cbRecord);
        if (cbRead < 0) {
            *pnLength = 0;
            return ImportResult::ReadError;
        }
        const auto cbBuffer = static_cast<std::size_t>(cbRead);
        for (std::size_t cbDone = 0; cbDone < cbBuffer; cbDone += cbRecord) {
            std::uint8_t* pbRecord = g_abRun.data() + cbDone;
            const std::size_t cbData = std::min(cbRecord, cbBuffer - cbDone);
            if (cbData < cbRecord) {
                if (fWarnShort) {
                    pending.Flush();
                    Message('W', "Partial last block written (not an image file?)");
                }
                std::fill(pbRecord + cbData, pbRecord + cbRecord, std::uint8_t{0});
            }
            ++nUsed;
            if (nUsed > nRoom) {
                pending.Flush();
                return RoomRule(nUsed, pnLength);
            }
            pack(pbRecord, pending.Next());
        }
        pending.Flush();
        if (cbBuffer < DISK_RUN_BLOCKS * cbRecord)
            break;
    }
    return RoomRule(nUsed, pnLength);
}

}  // namespace

ImportResult CopyImageIn(unsigned nFirst, int* pnLength, int fd) {
    return CopyBinaryIn(nFirst, pnLength, fd, OS8_BYTE_BLOCK_SIZE, true, PackBlock);
}

ImportResult CopyByteIn(unsigned nFirst, int* pnLength, int fd) {
    return CopyBinaryIn(nFirst, pnLength, fd, OS8_BLOCK_SIZE, false,
                        [](const std::uint8_t* pbData, std::uint16_t* pwData) {
                            for (unsigned i = 0; i < OS8_BLOCK_SIZE; ++i)
                                pwData[i] = pbData[i];
                        });
}

ImportResult CopyIn(TransferMode mode, unsigned nFirst, int* pnLength, std::FILE* pStream, int fd) {
    switch (mode) {
    case TransferMode::Ascii: return CopyAsciiIn(nFirst, pnLength, pStream);
    case TransferMode::Image: return CopyImageIn(nFirst, pnLength, fd);
    case TransferMode::Byte: return CopyByteIn(nFirst, pnLength, fd);
    }
    return ImportResult::ReadError;
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
    std::uint64_t qSize = 0;
    bool fRegular = false;
    if (cbBlock == 0 || !QueryHostFile(fd, &qSize, &fRegular) || !fRegular)
        return false;
    *pnBlocks = static_cast<unsigned long>((qSize + cbBlock - 1) / cbBlock);
    return true;
}
