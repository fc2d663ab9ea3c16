// The three ROM regions as the vorlent program writes them: contents,
// limits, summary lines and messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "romtest.h"

namespace {

using namespace romtest;

// ---- Code region ------------------------------------------------------------

TEST(CodeRegion, RomFieldsRunUpToTheHighestWordLoaded) {
    struct Case {
        unsigned nHighestIndex;
        unsigned nFields;
    };
    for (const Case& c : {Case{0, 1}, Case{2687, 1}, Case{2688, 2}, Case{5375, 2}, Case{5376, 3}, Case{0x4FFF, 8}}) {
        const BuiltRom built = BuildRom(BinWordAtIndex(c.nHighestIndex, 07070), std::nullopt, std::nullopt);
        EXPECT_EQ(built.run.status, 0) << built.run.err;
        EXPECT_EQ(built.run.err, "");
        char szSummary[64];
        std::snprintf(szSummary, sizeof szSummary, "BIN written - %2u ROM fields\r\n", c.nFields);
        EXPECT_EQ(built.run.out, szSummary);
        EXPECT_EQ(built.rom.Count(), c.nFields * 4096u) << "index " << c.nHighestIndex;
        EXPECT_EQ(built.rom.CountIn(0, c.nFields * 4096), c.nFields * 4096u);
        const std::vector<std::uint16_t> awWords = DecodeCodeRegion(built.rom);
        ASSERT_EQ(awWords.size(), c.nFields * 2688u);
        EXPECT_EQ(awWords[c.nHighestIndex], 07070);
    }
}

TEST(CodeRegion, WordPairsPackIntoThreeBytes) {
    const BuiltRom built = BuildRom(BinLeader() + BinField(3) + BinOrigin(0) + BinData(01234) + BinData(05670) + BinLeader(),
                                 std::nullopt, std::nullopt);
    EXPECT_EQ(built.listing.substr(0, 22), "0000.000/ 234 270 262 ");
}

TEST(CodeRegion, ChecksumWordTakesTheWordAtField3Address0200) {
    // 0001 at field 3 address 0000 alone needs 7777; a word loaded at
    // address 0200 is overwritten, and the first ROM field always adds up
    // to 0 modulo 4096.
    struct Case {
        std::string bin;
        unsigned wChecksum;
    };
    const std::vector<Case> cases = {
        {BinWordAtIndex(0, 1), 07777},
        {BinLeader() + BinField(3) + BinOrigin(0) + BinData(1) + BinOrigin(0200) + BinData(05555) + BinLeader(), 07777},
        {BinLeader() + BinField(3) + BinOrigin(0177) + BinData(04000) + BinData(04000) + BinData(04000) + BinLeader(), 0},
        // A word beyond the first ROM field does not count.
        {BinLeader() + BinField(3) + BinOrigin(07777) + BinData(1) + BinLeader(), 0},
    };
    for (const Case& c : cases) {
        const BuiltRom built = BuildRom(c.bin, std::nullopt, std::nullopt);
        const std::vector<std::uint16_t> awWords = DecodeCodeRegion(built.rom);
        ASSERT_GE(awWords.size(), 2688u);
        EXPECT_EQ(awWords[128], c.wChecksum);
        unsigned nSum = 0;
        for (unsigned i = 0; i < 2688; ++i)
            nSum += awWords[i];
        EXPECT_EQ(nSum % 4096, 0u);
    }
}

TEST(CodeRegion, LoadAddressFollowsFieldsOriginsAndCarries) {
    const std::string bin = BinLeader() +
                            // Before the first field setting: field 0, and no words there.
                            BinField(3) + BinOrigin(07776) + BinData(01111) + BinData(02222) +
                            // The carry out of 7777 went into field 4.
                            BinData(03333) +
                            // A field setting keeps the 12-bit address.
                            BinOrigin(0100) + BinField(5) + BinData(04444) +
                            // An origin keeps the field.
                            BinOrigin(0200) + BinData(05555) +
                            // Leader and trailer bytes between frames are ignored.
                            std::string("\x80\xBF\x80", 3) + BinData(06666) + BinLeader();
    const BuiltRom built = BuildRom(bin, std::nullopt, std::nullopt);
    EXPECT_EQ(built.run.status, 0) << built.run.err;
    const std::vector<std::uint16_t> awWords = DecodeCodeRegion(built.rom);
    ASSERT_EQ(awWords.size(), 4u * 2688);
    std::vector<std::uint16_t> expected(4u * 2688, 0);
    expected[07776] = 01111;
    expected[07777] = 02222;
    expected[010000] = 03333;
    expected[020100] = 04444;
    expected[020200] = 05555;
    expected[020201] = 06666;
    expected[128] = awWords[128];
    EXPECT_EQ(awWords, expected);
}

TEST(CodeRegion, LoadingRunsOnPastField7UpToTheWordLimit) {
    // Field 7 address 7777 and the 1024 words the carry takes beyond it fill
    // the buffer exactly; one word more is too many.
    std::string words;
    for (unsigned i = 0; i < 1025; ++i)
        words += BinData(i % 4096);
    const std::string start = BinLeader() + BinField(7) + BinOrigin(07777);
    const BuiltRom full = BuildRom(start + words + BinLeader(), std::nullopt, std::nullopt);
    EXPECT_EQ(full.run.status, 0) << full.run.err;
    EXPECT_EQ(full.run.out, "BIN written -  8 ROM fields\r\n");
    const std::vector<std::uint16_t> awWords = DecodeCodeRegion(full.rom);
    ASSERT_EQ(awWords.size(), 0x5400u);
    EXPECT_EQ(awWords[0x4FFF], 0);
    EXPECT_EQ(awWords[0x5000], 1);
    EXPECT_EQ(awWords[0x53FF], 1024);

    const BuiltRom over = BuildRom(start + words + BinData(1) + BinLeader(), std::nullopt, std::nullopt);
    EXPECT_EQ(over.run.status, 5);
    EXPECT_EQ(over.run.err, "Fatal: BIN exceeds max size of 21504 words!\r\n");
    EXPECT_EQ(over.run.out, "");
    EXPECT_EQ(over.listing, "");
}

TEST(CodeRegion, RefusedFileLeavesTheOutputEmpty) {
    struct Case {
        std::string bin;
        int nStatus;
        const char* pszError;
    };
    const char* const BELOW = "Fatal: BIN has code before field 2!\r\n";
    const char* const ABOVE = "Fatal: BIN exceeds max size of 21504 words!\r\n";
    const std::vector<Case> cases = {
        {BinLeader() + BinField(2) + BinOrigin(07777) + BinData(1) + BinLeader(), 7, BELOW},
        {BinLeader() + BinData(1) + BinLeader(), 7, BELOW},  // field 0, address 0200
        // Good words first: the file is read whole before anything is written.
        {BinLeader() + BinField(3) + BinData(1) + BinField(0) + BinData(1) + BinLeader(), 7, BELOW},
        {BinLeader() + BinField(7) + BinOrigin(07777) + BinData(1) + BinOrigin(02000) + BinData(1), 5, ABOVE},
    };
    for (const Case& c : cases) {
        // Later regions are not written either.
        const BuiltRom built = BuildRom(c.bin, std::string(16, '\x01'), std::string(16, '\x01'));
        EXPECT_EQ(built.run.status, c.nStatus);
        EXPECT_EQ(built.run.err, c.pszError);
        EXPECT_EQ(built.run.out, "");
        EXPECT_EQ(built.listing, "");
    }
}

// A BIN file that loads no data word is no firmware: refused, with nothing
// written and no summary.
TEST(CodeRegion, FileThatLoadsNothingIsRefused) {
    const std::vector<std::string> cases = {
        "",
        "plain text, not a BIN file\n",
        BinLeader(),
        BinLeader() + BinField(3) + BinOrigin(0) + BinLeader(),
        // Without a leader byte nothing is data.
        BinField(3) + BinOrigin(0) + BinData(1),
        // A data frame cut off by the end of the file.
        BinLeader() + BinField(3) + BinOrigin(0) + std::string(1, '\x01'),
    };
    for (const std::string& bin : cases) {
        const BuiltRom built = BuildRom(bin, std::string(16, '\x01'), std::nullopt);
        EXPECT_EQ(built.run.status, 2);
        EXPECT_EQ(built.run.out, "");
        EXPECT_EQ(built.run.err, "fatal: code binfile in.bin holds no data\r\n");
        EXPECT_EQ(built.rom.Count(), 0u);
    }
}

TEST(CodeRegion, BytesBeforeTheLeaderAreIgnored) {
    const std::string bin = BinField(4) + BinData(07777) + BinLeader() + BinField(3) + BinOrigin(0) + BinData(1);
    const BuiltRom built = BuildRom(bin, std::nullopt, std::nullopt);
    const std::vector<std::uint16_t> awWords = DecodeCodeRegion(built.rom);
    ASSERT_EQ(awWords.size(), 2688u);
    EXPECT_EQ(awWords[0], 1);
    EXPECT_EQ(awWords[128], 07777);
}

// ---- FPGA region ------------------------------------------------------------

TEST(FpgaRegion, BytesAreWrittenWithTheirBitsReversed) {
    const BuiltRom pair = BuildRom(std::nullopt, std::string("\x01\xF0", 2), std::nullopt);
    EXPECT_EQ(pair.listing.substr(0, 22), "0200.000/ 200 017 000 ");
    EXPECT_EQ(pair.run.out, "BIT written -  1 ROM fields\r\n");
    EXPECT_EQ(pair.rom.Count(), 256u) << "padded to a page";

    std::string all;
    for (unsigned b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const BuiltRom built = BuildRom(std::nullopt, all, std::nullopt);
    for (unsigned b = 0; b < 256; ++b)
        ASSERT_EQ(built.rom.abByte[FPGA_START + b], ReverseBits(b)) << b;
}

TEST(FpgaRegion, SizeLimitIs0x18000Bytes) {
    struct Case {
        std::size_t cbBit;
        int nStatus;
        const char* pszOut;
        const char* pszErr;
        std::size_t cbWritten;
    };
    const std::vector<Case> cases = {
        // The fields counted are the fields the bytes fill, the last in part.
        {0, 0, "BIT written -  0 ROM fields\r\n", "", 0},
        {4095, 0, "BIT written -  1 ROM fields\r\n", "", 4096},
        {4096, 0, "BIT written -  1 ROM fields\r\n", "", 4096},
        {4097, 0, "BIT written -  2 ROM fields\r\n", "", 4352},
        {0x8000, 0, "BIT written -  8 ROM fields\r\n", "", 0x8000},
        {0x18000, 0, "BIT written - 24 ROM fields\r\n", "", 0x18000},
        // The bytes before the chunk that goes over the limit stay.
        {0x18001, 6, "", "Fatal: BIT exceeds max size of 98304 bytes!\r\n", 0x18000},
        {0x20000, 6, "", "Fatal: BIT exceeds max size of 98304 bytes!\r\n", 0x18000},
    };
    for (const Case& c : cases) {
        // A RAM-disk region is not written after a refused bitstream.
        const BuiltRom built = BuildRom(std::nullopt, std::string(c.cbBit, '\x5A'), std::string(16, '\x01'));
        EXPECT_EQ(built.run.status, c.nStatus) << c.cbBit;
        EXPECT_EQ(built.run.out, c.pszOut + std::string(c.nStatus ? "" : "RDI written -  1 ROM fields\r\n"));
        EXPECT_EQ(built.run.err, c.pszErr);
        EXPECT_EQ(built.rom.CountIn(FPGA_START, 0x18000), c.cbWritten);
        EXPECT_EQ(built.rom.CountIn(FPGA_START, c.cbWritten), c.cbWritten);
    }
}

// ---- RAM-disk region --------------------------------------------------------

TEST(RamDiskRegion, TrailingZeroChunksAreLeftOut) {
    struct Case {
        const char* pszName;
        std::size_t cbImage;
        std::vector<std::size_t> nonZeroAt;
        std::size_t cbWritten;  // before padding to a page
        unsigned nFields;
    };
    const std::vector<Case> cases = {
        {"empty", 0, {}, 0, 0},
        {"all zero", 5 * 4096, {}, 0, 0},
        {"only the third chunk", 5 * 4096, {2 * 4096 + 7}, 3 * 4096, 3},
        {"first chunk", 3 * 4096 + 100, {0}, 4096, 1},
        {"short last chunk", 4096 + 10, {4096 + 9}, 4096 + 10, 2},
        {"one byte", 1, {0}, 1, 1},
        {"zero chunk between", 3 * 4096, {4095, 2 * 4096}, 3 * 4096, 3},
    };
    for (const Case& c : cases) {
        std::string image(c.cbImage, '\0');
        for (std::size_t nOffset : c.nonZeroAt)
            image[nOffset] = '\x42';
        const BuiltRom built = BuildRom(std::nullopt, std::nullopt, image);
        EXPECT_EQ(built.run.status, 0) << c.pszName;
        EXPECT_EQ(built.run.err, "") << c.pszName;
        char szSummary[64];
        std::snprintf(szSummary, sizeof szSummary, "RDI written - %2u ROM fields\r\n", c.nFields);
        EXPECT_EQ(built.run.out, szSummary) << c.pszName;
        const std::size_t cbPadded = (c.cbWritten + 255) / 256 * 256;
        EXPECT_EQ(built.rom.Count(), cbPadded) << c.pszName;
        for (std::size_t i = 0; i < cbPadded; ++i) {
            const int nExpected = i < c.cbWritten ? static_cast<std::uint8_t>(image[i]) : 0;
            ASSERT_EQ(built.rom.abByte[RDI_START + i], nExpected) << c.pszName << " at " << i;
        }
    }
}

TEST(RamDiskRegion, BeginsWithItsHeader) {
    const BuiltRom built = BuildRom(std::nullopt, std::nullopt, "\x01");
    EXPECT_EQ(built.listing.substr(0, 14), "1000.000/ 001 ");
}

TEST(RamDiskRegion, DataBeyondTheLimitIsCutWithOneMessage) {
    struct Case {
        const char* pszName;
        std::size_t cbImage;
        std::vector<std::size_t> nonZeroAt;
        const char* pszErr;
    };
    const char* const TOO_LARGE = "Fatal: RDI image too large\n";
    const std::vector<Case> cases = {
        {"exactly at the limit", 0x60000, {0, 0x5FFFF}, ""},
        {"zeros beyond the limit", 0x62000, {0x5FFFF}, ""},
        {"one chunk beyond", 0x61000, {0x60000}, TOO_LARGE},
        {"two chunks beyond", 0x62000, {0x60000, 0x61000}, TOO_LARGE},
        {"far beyond after zeros", 0x70000, {100, 0x6F000}, TOO_LARGE},
    };
    for (const Case& c : cases) {
        std::string image(c.cbImage, '\0');
        for (std::size_t nOffset : c.nonZeroAt)
            image[nOffset] = '\x42';
        const BuiltRom built = BuildRom(std::nullopt, std::nullopt, image);
        EXPECT_EQ(built.run.status, 0) << c.pszName;
        EXPECT_EQ(built.run.err, c.pszErr) << c.pszName;
        EXPECT_EQ(built.run.out, "RDI written - 96 ROM fields\r\n") << c.pszName;
        EXPECT_EQ(built.rom.Count(), 0x60000u) << c.pszName;
        EXPECT_EQ(built.rom.CountIn(RDI_START, 0x60000), 0x60000u) << c.pszName;
    }
}

}  // namespace
