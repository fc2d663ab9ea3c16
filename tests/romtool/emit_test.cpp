// The listing format written by EmitByte and PadToPage.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "romtool.h"

namespace {

// Collects the ROM listing in a temporary file (binary, as the output
// file is) for one test.
class ListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        hOutput_ = std::tmpfile();
        ASSERT_NE(hOutput_, nullptr);
        BeginRomOutput(hOutput_);
    }
    void TearDown() override {
        BeginRomOutput(nullptr);
        if (hOutput_)
            std::fclose(hOutput_);
    }
    std::string Text() {
        std::fflush(hOutput_);
        std::rewind(hOutput_);
        std::string text;
        char buffer[4096];
        std::size_t cb;
        while ((cb = std::fread(buffer, 1, sizeof buffer, hOutput_)) > 0)
            text.append(buffer, cb);
        std::fseek(hOutput_, 0, SEEK_END);  // further bytes go after the text
        return text;
    }
    void EmitPage(std::uint8_t b) {
        for (int i = 0; i < 256; ++i)
            EmitByte(b);
    }

    std::FILE* hOutput_ = nullptr;
};

TEST_F(ListingTest, EightBytesMakeOneLineUnderTheirAddress) {
    for (std::uint8_t b = 1; b <= 8; ++b)
        EmitByte(b);
    EXPECT_EQ(Text(), "0000.000/ 001 002 003 004 005 006 007 010 \r\n");
    EXPECT_EQ(GetRomAddress(), 8u);
}

TEST_F(ListingTest, LineIsOpenUntilItsEighthByte) {
    EmitByte(0377);
    EXPECT_EQ(Text(), "0000.000/ 377 ");
}

TEST_F(ListingTest, ChecksumLineFollowsTheLastLineOfEveryPage) {
    EmitPage(1);
    std::string expected;
    for (unsigned nLine = 0; nLine < 32; ++nLine) {
        char szHeader[16];
        std::snprintf(szHeader, sizeof szHeader, "0000.%03o/ ", nLine * 8);
        expected += szHeader;
        for (int i = 0; i < 8; ++i)
            expected += "001 ";
        expected += "\r\n";
    }
    expected += "0400\r\n";
    EXPECT_EQ(Text(), expected);

    // The sum restarts with every page and is kept to 12 bits:
    // 256 * 0377 = 0177400, which is 7400 modulo 4096.
    EmitPage(0377);
    const std::string text = Text();
    EXPECT_EQ(text.substr(expected.size(), 10), "0001.000/ ");
    EXPECT_EQ(text.substr(text.size() - 6), "7400\r\n");
}

TEST_F(ListingTest, HeadersShowPageAndOffsetInOctal) {
    struct Case {
        std::uint32_t nAddress;
        const char* pszHeader;
    };
    for (const Case& c : {Case{ROM_FPGA_START, "0200.000/ "}, Case{ROM_RDI_START, "1000.000/ "},
                          Case{0x7FF00, "3777.000/ "}}) {
        const std::size_t nBefore = Text().size();
        SetRomAddress(c.nAddress);
        EmitByte(0);
        EXPECT_EQ(Text().substr(nBefore), std::string(c.pszHeader) + "000 ") << c.pszHeader;
        PadToPage();
    }
    // The last line of the ROM: page 3777, offset 370.
    EXPECT_NE(Text().find("3777.370/ "), std::string::npos);
    EXPECT_EQ(GetRomAddress(), 0x7FF00u + 256);
}

TEST_F(ListingTest, PadToPageFillsWithZerosUpToTheChecksumLine) {
    PadToPage();
    EXPECT_EQ(Text(), "") << "nothing to pad at a page boundary";

    for (int i = 0; i < 3; ++i)
        EmitByte(2);
    PadToPage();
    EXPECT_EQ(GetRomAddress(), 256u);
    const std::string text = Text();
    EXPECT_EQ(text.substr(0, 45), "0000.000/ 002 002 002 000 000 000 000 000 \r\n0");
    EXPECT_EQ(text.substr(text.size() - 50), "0000.370/ 000 000 000 000 000 000 000 000 \r\n0006\r\n");
}

}  // namespace
