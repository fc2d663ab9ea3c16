// The three ROM regions: the firmware from a PDP-8 BIN loader file, the FPGA
// bitstream and the RAM-disk image.
#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>
#include <memory>
#include <new>

#include "romtool.h"

namespace {

// BIN loader frames, told apart by the two top bits of their first byte.
constexpr int BIN_FRAME_MASK = 0300;
constexpr int BIN_DATA = 0000;
constexpr int BIN_ORIGIN = 0100;
constexpr int BIN_LEADER = 0200;  // leader and trailer
constexpr int BIN_FIELD = 0300;

using CodeBuffer = std::array<std::uint16_t, ROM_CODE_WORDS>;

// Reads the BIN file into awCode. *pnWords becomes one more than the highest
// buffer index loaded, 0 when nothing was loaded. A data word outside the
// code region refuses the file with its status.
int LoadBinFile(std::FILE* hBin, std::uint32_t nWordLimit, CodeBuffer& awCode,
                std::uint32_t* pnWords) {
    *pnWords = 0;
    int c;
    // Everything up to the first leader byte is ignored; a file without a
    // leader holds no data.
    while ((c = std::getc(hBin)) != EOF && c != BIN_LEADER) {
    }
    if (c == EOF)
        return ROM_STATUS_OK;

    // Field in bits 12 and up, 12-bit address below; a data word that runs
    // past address 7777 carries into the field.
    std::uint32_t nLoadAddress = 0200;
    while ((c = std::getc(hBin)) != EOF) {
        const int nFrame = c & BIN_FRAME_MASK;
        if (nFrame == BIN_LEADER)
            continue;
        if (nFrame == BIN_FIELD) {
            nLoadAddress = static_cast<std::uint32_t>((c >> 3) & 07) << 12 | (nLoadAddress & 07777);
            continue;
        }
        // Origin and data frames are two bytes; a frame cut off by the end
        // of the file is dropped.
        const int c2 = std::getc(hBin);
        if (c2 == EOF)
            break;
        const std::uint32_t nValue = (static_cast<std::uint32_t>(c) << 6 | static_cast<std::uint32_t>(c2)) & 07777;
        if (nFrame == BIN_ORIGIN) {
            nLoadAddress = (nLoadAddress & ~07777u) | nValue;
            continue;
        }
        assert(nFrame == BIN_DATA);
        if (nLoadAddress >= ROM_CODE_BASE + nWordLimit) {
            std::fprintf(stderr, "Fatal: BIN exceeds max size of %u words!\r\n", static_cast<unsigned>(nWordLimit));
            return ROM_STATUS_BIN_TOO_BIG;
        }
        if (nLoadAddress < ROM_CODE_BASE) {
            std::fputs("Fatal: BIN has code before field 2!\r\n", stderr);
            return ROM_STATUS_BIN_BELOW_FIELD3;
        }
        const std::uint32_t nIndex = nLoadAddress - ROM_CODE_BASE;
        awCode[nIndex] = static_cast<std::uint16_t>(nValue);
        *pnWords = std::max(*pnWords, nIndex + 1);
        ++nLoadAddress;
    }
    return ROM_STATUS_OK;
}

// The ROM fields that cbBytes bytes written fill, the last one in part.
unsigned FieldsFor(std::uint64_t cbBytes) {
    return static_cast<unsigned>((cbBytes + ROM_FIELD_BYTES - 1) / ROM_FIELD_BYTES);
}

// Makes the words of the first ROM field add up to 0 modulo 4096.
void SetCodeChecksum(CodeBuffer& awCode) {
    awCode[ROM_CHECKSUM_INDEX] = 0;
    unsigned nSum = 0;
    for (std::uint32_t i = 0; i < ROM_FIELD_WORDS; ++i)
        nSum += awCode[i];
    awCode[ROM_CHECKSUM_INDEX] = static_cast<std::uint16_t>((4096 - nSum % 4096) % 4096);
}

}  // namespace

int WriteCodeRegion(std::FILE* hBin, std::uint32_t nWordLimit) {
    assert(nWordLimit <= ROM_CODE_WORDS);
    CodeBuffer awCode{};
    std::uint32_t nWords = 0;
    if (const int nStatus = LoadBinFile(hBin, nWordLimit, awCode, &nWords); nStatus != ROM_STATUS_OK)
        return nStatus;
    // A file that loads no data word (empty, plain text, no valid frame) is
    // no firmware: a ROM built from it would not start.
    if (nWords == 0)
        return ROM_STATUS_NO_CODE_DATA;
    SetCodeChecksum(awCode);

    const std::uint32_t nFields = (nWords - 1) / ROM_FIELD_WORDS + 1;
    for (std::uint32_t nField = 0; nField < nFields; ++nField) {
        // Two words to three bytes: the low eight bits of each, then the top
        // four bits of the first in the low half and of the second in the
        // high half of the third byte.
        const std::uint16_t* pwField = awCode.data() + nField * ROM_FIELD_WORDS;
        for (std::uint32_t i = 0; i < ROM_FIELD_WORDS; i += 2) {
            const unsigned w0 = pwField[i];
            const unsigned w1 = pwField[i + 1];
            EmitByte(static_cast<std::uint8_t>(w0 & 0377));
            EmitByte(static_cast<std::uint8_t>(w1 & 0377));
            EmitByte(static_cast<std::uint8_t>(((w0 >> 8) & 017) | ((w1 >> 8) & 017) << 4));
        }
        while (GetRomAddress() % ROM_FIELD_BYTES != 0)
            EmitByte(0);
    }
    std::printf("BIN written - %2u ROM fields\r\n", static_cast<unsigned>(nFields));
    return ROM_STATUS_OK;
}

int WriteFpgaRegion(std::FILE* hBit, std::uint32_t nByteLimit) {
    std::unique_ptr<std::uint8_t[]> pbBuffer(new (std::nothrow) std::uint8_t[ROM_FPGA_CHUNK]);
    if (!pbBuffer) {
        std::fputs("unable to allocate FPGA buffer\n", stderr);
        return ROM_STATUS_USAGE;
    }
    // The ROM wants each bitstream byte with its bit order reversed.
    std::array<std::uint8_t, 256> abReversed{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned nReversed = 0;
        for (unsigned nBit = 0; nBit < 8; ++nBit)
            if (b & (1u << nBit))
                nReversed |= 0200u >> nBit;
        abReversed[b] = static_cast<std::uint8_t>(nReversed);
    }

    std::uint64_t cbTotal = 0;
    for (;;) {
        const std::size_t cbRead = std::fread(pbBuffer.get(), 1, ROM_FPGA_CHUNK, hBit);
        if (cbTotal + cbRead > nByteLimit) {
            std::fprintf(stderr, "Fatal: BIT exceeds max size of %u bytes!\r\n", static_cast<unsigned>(nByteLimit));
            return ROM_STATUS_BIT_TOO_BIG;
        }
        for (std::size_t i = 0; i < cbRead; ++i)
            EmitByte(abReversed[pbBuffer[i]]);
        cbTotal += cbRead;
        if (cbRead < ROM_FPGA_CHUNK)
            break;
    }
    std::printf("BIT written - %2u ROM fields\r\n", FieldsFor(cbTotal));
    return ROM_STATUS_OK;
}

int WriteRamDiskRegion(std::FILE* hRdi, std::uint32_t nByteLimit) {
    std::unique_ptr<std::uint8_t[]> pbBuffer(new (std::nothrow) std::uint8_t[ROM_RDI_CHUNK]);
    if (!pbBuffer) {
        std::fputs("Fatal: unable to allocate RDI buffer\n", stderr);
        return ROM_STATUS_USAGE;
    }
    std::uint64_t cbConsumed = 0;  // image bytes before the current chunk
    std::uint64_t cbWritten = 0;   // bytes written to the region
    bool fWarned = false;
    for (;;) {
        const std::size_t cbRead = std::fread(pbBuffer.get(), 1, ROM_RDI_CHUNK, hRdi);
        const bool fAllZero = std::all_of(pbBuffer.get(), pbBuffer.get() + cbRead,
                                          [](std::uint8_t b) { return b == 0; });
        if (!fAllZero) {
            // All-zero chunks are written only when data follows them, so
            // that the image keeps its layout without its empty tail.
            while (cbWritten < cbConsumed && cbWritten < nByteLimit) {
                EmitByte(0);
                ++cbWritten;
            }
            for (std::size_t i = 0; i < cbRead && cbWritten < nByteLimit; ++i) {
                EmitByte(pbBuffer[i]);
                ++cbWritten;
            }
        }
        cbConsumed += cbRead;
        if (!fAllZero && cbWritten < cbConsumed && !fWarned) {
            std::fputs("Fatal: RDI image too large\n", stderr);
            fWarned = true;
        }
        if (cbRead < ROM_RDI_CHUNK)
            break;
    }
    std::printf("RDI written - %2u ROM fields\r\n", FieldsFor(cbWritten));
    return ROM_STATUS_OK;
}
