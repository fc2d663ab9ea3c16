// The ROM listing: every ROM byte in octal, eight to a line under the
// line's ROM address, and a 12-bit checksum line after every 256 bytes.
#include <array>
#include <cassert>
#include <cstdio>

#include "romtool.h"

namespace {

std::FILE* hRomOutput = nullptr;
std::uint32_t nRomAddress = 0;
std::uint16_t wPageChecksum = 0;

// The text of every byte value, "%03o " formatted once, so that the bulk of
// the listing is written without formatting a number per byte.
struct ByteTexts {
    std::array<std::array<char, 5>, 256> aszText{};
    ByteTexts() {
        for (unsigned b = 0; b < 256; ++b)
            std::snprintf(aszText[b].data(), aszText[b].size(), "%03o ", b);
    }
};

const ByteTexts& GetByteTexts() {
    static const ByteTexts texts;
    return texts;
}

}  // namespace

void BeginRomOutput(std::FILE* hOutput) {
    hRomOutput = hOutput;
    nRomAddress = 0;
    wPageChecksum = 0;
}

void SetRomAddress(std::uint32_t nAddress) {
    // Regions start on page boundaries, where the page checksum restarts.
    assert(nAddress % ROM_PAGE_BYTES == 0 && wPageChecksum == 0);
    nRomAddress = nAddress;
}

std::uint32_t GetRomAddress() { return nRomAddress; }

void EmitByte(std::uint8_t b) {
    assert(hRomOutput != nullptr);
    if (nRomAddress % ROM_LINE_BYTES == 0)
        std::fprintf(hRomOutput, "%04o.%03o/ ", static_cast<unsigned>(nRomAddress / ROM_PAGE_BYTES),
                     static_cast<unsigned>(nRomAddress % ROM_PAGE_BYTES));
    std::fwrite(GetByteTexts().aszText[b].data(), 1, 4, hRomOutput);
    wPageChecksum = static_cast<std::uint16_t>((wPageChecksum + b) % 4096);
    ++nRomAddress;
    if (nRomAddress % ROM_LINE_BYTES == 0)
        std::fputs("\r\n", hRomOutput);
    if (nRomAddress % ROM_PAGE_BYTES == 0) {
        std::fprintf(hRomOutput, "%04o\r\n", static_cast<unsigned>(wPageChecksum));
        wPageChecksum = 0;
    }
}

void PadToPage() {
    while (nRomAddress % ROM_PAGE_BYTES != 0)
        EmitByte(0);
}
