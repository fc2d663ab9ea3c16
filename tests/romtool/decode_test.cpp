// Listings read back into ROM bytes and PDP-8 words must give back the
// inputs: a mixed ROM, a ROM with every region at its limit, and firmware
// assembled by a real PDP-8 assembler.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "romtest.h"

namespace {

using namespace romtest;

constexpr unsigned CODE_WORDS = 0x5400;
constexpr unsigned CHECKSUM_INDEX = 0200;

// A BIN file and the code buffer it loads (index 0 = field 3 address 0000).
struct Firmware {
    std::string bin = BinLeader();
    std::vector<std::uint16_t> awWords = std::vector<std::uint16_t>(CODE_WORDS, 0);
    unsigned nIndex = 0;  // where the next data word goes

    void Origin(unsigned nField, unsigned nAddress) {
        bin += BinField(nField) + BinOrigin(nAddress);
        nIndex = (nField - 3) * 4096 + nAddress;
    }
    void Words(unsigned nCount, std::mt19937& random) {
        for (unsigned i = 0; i < nCount; ++i) {
            const auto wWord = static_cast<std::uint16_t>(random() % 4096);
            bin += BinData(wWord);
            awWords.at(nIndex++) = wWord;
        }
    }
};

std::string RandomBytes(std::size_t cb, std::mt19937& random) {
    std::string bytes(cb, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() % 256);
    return bytes;
}

// Compares the decoded code words with what the BIN file loaded: equal
// everywhere but at the checksum word, which makes the first ROM field add
// up to 0 modulo 4096.
void ExpectCodeWords(const Rom& rom, const std::vector<std::uint16_t>& awLoaded, unsigned nFields) {
    const std::vector<std::uint16_t> awWords = DecodeCodeRegion(rom);
    ASSERT_EQ(awWords.size(), nFields * 2688u);
    for (unsigned i = 0; i < awWords.size(); ++i) {
        if (i != CHECKSUM_INDEX) {
            ASSERT_EQ(awWords[i], awLoaded[i]) << "code buffer index " << i;
        }
    }
    for (unsigned i = static_cast<unsigned>(awWords.size()); i < awLoaded.size(); ++i)
        ASSERT_EQ(awLoaded[i], 0) << "word at index " << i << " has no ROM field";
    unsigned nSum = 0;
    for (unsigned i = 0; i < 2688; ++i)
        nSum += awWords[i];
    EXPECT_EQ(nSum % 4096, 0u);
}

void ExpectFpgaBytes(const Rom& rom, const std::string& bit) {
    for (std::size_t i = 0; i < bit.size(); ++i)
        ASSERT_EQ(rom.abByte[FPGA_START + i], ReverseBits(static_cast<std::uint8_t>(bit[i]))) << "bitstream byte " << i;
}

void ExpectRamDiskBytes(const Rom& rom, const std::string& rdi, std::size_t cbWritten) {
    for (std::size_t i = 0; i < cbWritten; ++i)
        ASSERT_EQ(rom.abByte[RDI_START + i], static_cast<std::uint8_t>(rdi[i])) << "image byte " << i;
}

TEST(DecodeListing, MixedRomGivesBackItsInputs) {
    std::mt19937 random(8);
    Firmware firmware;
    firmware.Origin(3, 0);
    firmware.Words(1024, random);
    firmware.Origin(5, 01000);
    firmware.Words(512, random);
    firmware.Origin(6, 07700);  // runs on into field 7
    firmware.Words(01100, random);
    firmware.bin += BinLeader();
    const unsigned nFields = (firmware.nIndex - 1) / 2688 + 1;

    const std::string bit = RandomBytes(0x8000 + 1234, random);
    // Chunks: data, zeros, data, zeros, zeros, and a short chunk of zeros.
    std::string rdi = RandomBytes(5 * 4096 + 100, random);
    for (std::size_t nChunk : {1, 3, 4, 5})
        std::fill(rdi.begin() + static_cast<long>(nChunk * 4096),
                  rdi.begin() + static_cast<long>(std::min(rdi.size(), (nChunk + 1) * 4096)), '\0');

    const BuiltRom built = BuildRom(firmware.bin, bit, rdi);
    ASSERT_EQ(built.run.status, 0) << built.run.err;
    EXPECT_EQ(built.run.err, "");
    char szCode[64];
    std::snprintf(szCode, sizeof szCode, "BIN written - %2u ROM fields\r\n", nFields);
    EXPECT_EQ(built.run.out, szCode + std::string("BIT written -  9 ROM fields\r\n") +
                                 "RDI written -  3 ROM fields\r\n");
    ExpectCodeWords(built.rom, firmware.awWords, nFields);
    ExpectFpgaBytes(built.rom, bit);
    ExpectRamDiskBytes(built.rom, rdi, 3 * 4096);
    // Regions end at the next page boundary; nothing fills the gaps.
    const std::size_t cbBitPadded = (bit.size() + 255) / 256 * 256;
    EXPECT_EQ(built.rom.CountIn(0, nFields * 4096), nFields * 4096u);
    EXPECT_EQ(built.rom.CountIn(FPGA_START, static_cast<std::uint32_t>(cbBitPadded)), cbBitPadded);
    EXPECT_EQ(built.rom.CountIn(RDI_START, 3 * 4096), 3 * 4096u);
    EXPECT_EQ(built.rom.Count(), nFields * 4096 + cbBitPadded + 3 * 4096);
}

// Inputs that fill every region to its limit.
struct FullInputs {
    Firmware firmware;
    std::string bit;
    std::string rdi;
    FullInputs() {
        std::mt19937 random(80);
        firmware.Origin(3, 0);
        firmware.Words(CODE_WORDS, random);  // runs on through the fields
        firmware.bin += BinLeader();
        bit = RandomBytes(0x18000, random);
        rdi = RandomBytes(0x60000, random);
    }
};

TEST(DecodeListing, FullRomGivesBackItsInputs) {
    const FullInputs inputs;
    const BuiltRom built = BuildRom(inputs.firmware.bin, inputs.bit, inputs.rdi);
    ASSERT_EQ(built.run.status, 0) << built.run.err;
    EXPECT_EQ(built.run.err, "");
    EXPECT_EQ(built.run.out,
              "BIN written -  8 ROM fields\r\nBIT written - 24 ROM fields\r\nRDI written - 96 ROM fields\r\n");
    EXPECT_EQ(built.rom.Count(), ROM_SIZE) << "every ROM byte is listed";
    ExpectCodeWords(built.rom, inputs.firmware.awWords, 8);
    ExpectFpgaBytes(built.rom, inputs.bit);
    ExpectRamDiskBytes(built.rom, inputs.rdi, inputs.rdi.size());
}

// Run by hand (--gtest_also_run_disabled_tests): how long a full ROM takes.
TEST(DecodeListing, DISABLED_TimeFullRom) {
    const FullInputs inputs;
    TempDir dir;
    WriteFile(dir / "in.bin", inputs.firmware.bin);
    WriteFile(dir / "in.bit", inputs.bit);
    WriteFile(dir / "in.rdi", inputs.rdi);
    double best = 1e9;
    for (int nRun = 0; nRun < 5; ++nRun) {
        const auto start = std::chrono::steady_clock::now();
        const ProgramRun run = RunVorlent(dir.path(), {"in.bin", "in.bit", "in.rdi", "out.txt"});
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(run.status, 0);
        best = std::min(best, elapsed.count());
    }
    std::printf("full ROM (%ju bytes of listing): best of 5 runs %.3f s\n",
                static_cast<std::uintmax_t>(fs::file_size(dir / "out.txt")), best);
}

// ---- Firmware from the PDP-8 assembler palbart ---------------------------------

const char* const PAL_SOURCE =
    "/ ROM TEST PROGRAM IN FIELDS 3 AND 4\n"
    "\tFIELD 3\n"
    "\t*0\n"
    "START,\tCLA CLL\n"
    "\tTAD (1234)\n"
    "\tCIF CDF 40\n"
    "\tJMP I (ENTRY)\n"
    "\t*200\n"
    "\t7777\t\t/ THE ROM CHECKSUM GOES HERE\n"
    "TABLE,\t1234\n"
    "\t5670\n"
    "\tTEXT /HELLO/\n"
    "\t*5200\n"
    "\t0001\n"
    "\tFIELD 4\n"
    "\t*7770\n"
    "ENTRY,\tTAD I PTR\n"
    "\tHLT\n"
    "PTR,\tTABLE\n"
    "\t7776\n"
    "\t7777\n"
    "$\n";

bool IsOctal(const std::string& text, std::size_t nDigits) {
    return text.size() == nDigits && text.find_first_not_of("01234567") == std::string::npos;
}

// The words of an assembler listing by code buffer index: lines that show a
// five-digit address (field and address) and then the word, with or without
// a line number in front.
std::vector<std::pair<unsigned, unsigned>> ListedWords(const std::string& listing) {
    std::vector<std::pair<unsigned, unsigned>> words;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> tokens;
        std::string token;
        while (tokens.size() < 3 && fields >> token)
            tokens.push_back(token);
        // "@" marks an indirect reference.
        for (std::string& t : tokens)
            if (t.size() == 5 && t.back() == '@')
                t.pop_back();
        std::size_t nFirst = 0;
        if (!tokens.empty() && tokens[0].find_first_not_of("0123456789") == std::string::npos &&
            !IsOctal(tokens[0], 5))
            nFirst = 1;  // a line number
        if (tokens.size() < nFirst + 2 || !IsOctal(tokens[nFirst], 5) || !IsOctal(tokens[nFirst + 1], 4))
            continue;
        const auto nAddress = static_cast<unsigned>(std::stoul(tokens[nFirst], nullptr, 8));
        words.emplace_back(nAddress - 030000, static_cast<unsigned>(std::stoul(tokens[nFirst + 1], nullptr, 8)));
    }
    return words;
}

TEST(DecodeListing, PalbartFirmwareGivesBackTheAssemblerListing) {
    const fs::path palbart = FindOnPath("palbart");
    if (palbart.empty())
        GTEST_SKIP() << "palbart is not installed";
    TempDir dir;
    WriteFile(dir / "rom.pal", PAL_SOURCE);
    const ProgramRun assembly = RunProgram(palbart, dir.path(), {"rom.pal"});
    ASSERT_EQ(assembly.status, 0) << assembly.out << assembly.err;
    ASSERT_TRUE(fs::exists(dir / "rom.bin"));
    const std::vector<std::pair<unsigned, unsigned>> listed = ListedWords(ReadFile(dir / "rom.lst"));
    // 4 instructions, 2 literals, 6 words at 0200, 1 at 5200, 5 in field 4.
    ASSERT_EQ(listed.size(), 18u) << ReadFile(dir / "rom.lst");

    const BuiltRom built = BuildRom(ReadFile(dir / "rom.bin"), std::nullopt, std::nullopt);
    ASSERT_EQ(built.run.status, 0) << built.run.err;
    const std::vector<std::uint16_t> awWords = DecodeCodeRegion(built.rom);
    unsigned nHighest = 0;
    std::vector<bool> afListed(awWords.size(), false);
    for (const auto& [nIndex, wWord] : listed) {
        ASSERT_LT(nIndex, awWords.size());
        afListed[nIndex] = true;
        nHighest = std::max(nHighest, nIndex);
        if (nIndex != CHECKSUM_INDEX) {
            EXPECT_EQ(awWords[nIndex], wWord)
                << "field " << 3 + nIndex / 4096 << " address " << std::oct << nIndex % 4096;
        }
    }
    // The BIN file's own checksum frame lands after the last word; the ROM
    // fields run up to it.
    const unsigned nFields = (nHighest + 1) / 2688 + 1;
    EXPECT_EQ(awWords.size(), nFields * 2688u);
    char szSummary[64];
    std::snprintf(szSummary, sizeof szSummary, "BIN written - %2u ROM fields\r\n", nFields);
    EXPECT_EQ(built.run.out, szSummary);
    for (unsigned i = 0; i < awWords.size(); ++i) {
        if (!afListed[i] && i != nHighest + 1) {
            EXPECT_EQ(awWords[i], 0) << "unlisted word at index " << i;
        }
    }
    unsigned nSum = 0;
    for (unsigned i = 0; i < 2688; ++i)
        nSum += awWords[i];
    EXPECT_EQ(nSum % 4096, 0u) << "the checksum word replaces the assembled 7777 at field 3 address 0200";
}

}  // namespace
