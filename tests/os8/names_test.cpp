// Names, wildcards and dates.
#include <gtest/gtest.h>

#include "os8.h"

namespace {

struct DecodeCase {
    OS8Name awName;
    const char* pszText;
};

TEST(DecodeFileName, GivesNameDotExtension) {
    const DecodeCase cases[] = {
        {{02011, 02000, 00000, 02326}, "PIP.SV"},
        {{01005, 01414, 01700, 02430}, "HELLO.TX"},
        {{01411, 02324, 00000, 00000}, "LIST."},       // no extension: ends in the dot
        {{00000, 00000, 00000, 00000}, "."},           // nothing at all
        {{00140, 00200, 00000, 02326}, "A.SV"},        // SIXBIT blank (32) ends the name
        {{00102, 00000, 00000, 04001}, "AB."},         // ... and the extension
        {{00002, 00000, 00000, 00000}, "."},           // code 0 first ends it at once
        {{06101, 00262, 00300, 06465}, "1AB2C.45"},   // digits are codes 48-57
        {{03334, 03536, 03700, 04142}, "[\\]^_.!\""},  // codes 27-31 and 33-34
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeFileName(c.awName.data()), c.pszText) << c.pszText;
}

struct EncodeCase {
    const char* pszText;
    OS8Name awName;
};

TEST(EncodeFileName, StoresSixNameAndTwoExtensionCharacters) {
    const EncodeCase cases[] = {
        {"PIP.SV", {02011, 02000, 00000, 02326}},
        {"pip.sv", {02011, 02000, 00000, 02326}},
        {"HELLO.TX", {01005, 01414, 01700, 02430}},
        {"ABCDEFGH.XYZ", {00102, 00304, 00506, 03031}},  // cut to ABCDEF.XY
        {"A.B.C", {00100, 00000, 00000, 00300}},         // a second dot restarts the extension
        {"A-B", {00102, 00000, 00000, 00000}},           // other characters are skipped
        {"LIST", {01411, 02324, 00000, 00000}},
        {"*.*", {00000, 00000, 00000, 00000}},
        {"", {00000, 00000, 00000, 00000}},
        {".TX", {00000, 00000, 00000, 02430}},
        {"F1 2.P8", {00661, 06200, 00000, 02070}},
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(EncodeFileName(c.pszText), c.awName) << c.pszText;
}

TEST(IsStorableFileName, NeedsOneNameCharacter) {
    for (const char* pszText : {"", ".", ".TX", "*.*", "-.SV", "???"})
        EXPECT_FALSE(IsStorableFileName(pszText)) << pszText;
    for (const char* pszText : {"A", "a.b", "X.", "*A*.TX", "123456789"})
        EXPECT_TRUE(IsStorableFileName(pszText)) << pszText;
}

TEST(SplitFileName, CutsAtTheFirstDot) {
    struct {
        const char* pszText;
        const char* pszBase;
        const char* pszExtension;
    } const cases[] = {
        {"FOO.BA", "FOO", ".BA"}, {"FOO", "FOO", ""}, {"FOO.", "FOO", "."},
        {".X", "", ".X"},         {"A.B.C", "A", ".B.C"}, {"", "", ""},
    };
    for (const auto& c : cases) {
        std::string base = "old";
        std::string extension = "old";
        SplitFileName(c.pszText, base, extension);
        EXPECT_EQ(base, c.pszBase) << c.pszText;
        EXPECT_EQ(extension, c.pszExtension) << c.pszText;
    }
}

TEST(MatchWildcard, FollowsTheEarlyEndRule) {
    struct {
        const char* pszPattern;
        const char* pszName;
        bool fMatch;
    } const cases[] = {
        {"*", "PIP.SV", true},
        {"*.*", "PIP.SV", true},
        {"*.*", "LIST.", true},
        {"A", "ABC.SV", true},  // a pattern that ends early matches every name it begins
        {"A*", "ABC.SV", true},
        {"A", "BAC.SV", false},
        {"*.SV", "X.SV", true},
        {"*.SV", "X.", true},  // the name runs out first
        {"*.SV", "X.PA", false},
        {"FOO.B", "FOO.BA", true},
        {"A*B.C", "AXX.C", true},  // what follows a "*" up to the dot is never compared
        {"A*B.C", "AXX.D", false},
        {"*X", "FOO.BA", true},
        {"FOO?BA", "FOO.BA", true},  // "?" matches the dot too
        {"P?P.SV", "PAP.SV", true},
        {"pip.sv", "PIP.SV", true},
        {"PIP.SV", "pip.sv", true},
        {"PIP.SV", "PIP.SA", false},
        {"PIPX.SV", "PIP.SV", false},
        {"FOO.BA", "FOO.", true},
        {"", "ANY.TX", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchWildcard(c.pszPattern, c.pszName), c.fMatch) << c.pszPattern << " " << c.pszName;
}

// DELETE and RENAME: the pattern must cover the whole name, so the names a
// pattern that ends early would also catch are not touched.
TEST(MatchWholeName, CoversTheWholeName) {
    struct {
        const char* pszPattern;
        const char* pszName;
        bool fMatch;
    } const cases[] = {
        {"*", "PIP.SV", true},
        {"*", "LIST.", true},
        {"*.*", "PIP.SV", true},
        {"*.*", "LIST.", true},
        {"PROG", "PROG.", true},  // no dot: a name without extension
        {"PROG", "PROGRM.SV", false},
        {"PROG", "PROG.BA", false},
        {"PROG*", "PROGRM.SV", true},
        {"PROG*", "PROG.BA", true},
        {"PROG*", "PROG.", true},
        {"PROG*", "PRO.SV", false},
        {"PRO?", "PROG.", true},  // no "*": still no extension
        {"PRO?", "PROG.BA", false},
        {"*G", "PROG.BA", true},
        {"A.TX", "A.TX", true},
        {"A.TX", "A.", false},
        {"A.", "A.", true},
        {"A.", "A.TX", false},
        {"*.SV", "CORE.", false},
        {"*.SV", "PIP.SV", true},
        {"*.SV", "PIP.SA", false},
        {"FOO.B", "FOO.BA", false},
        {"FOO.B", "FOO.B", true},
        {"FOO.B*", "FOO.BA", true},
        {"*.", "LIST.", true},
        {"*.", "PIP.SV", false},
        {"A*B.C", "AXXB.C", true},  // "*" is any run within its part
        {"A*B.C", "AXX.C", false},
        {"A*B.C", "AB.C", true},
        {"P?P.SV", "PAP.SV", true},
        {"P?P.SV", "PP.SV", false},  // "?" is exactly one character
        {"FOO?BA", "FOO.BA", false},  // and never the dot
        {"pip.sv", "PIP.SV", true},
        {"PIPX.SV", "PIP.SV", false},
        {"A.B.C", "A.B", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchWholeName(c.pszPattern, c.pszName), c.fMatch) << c.pszPattern << " " << c.pszName;
}

class DateTest : public testing::Test {
protected:
    void TearDown() override { SetTodayForTesting(0, 0, 0); }
};

TEST_F(DateTest, EncodeTodayPacksMonthDayAndYear) {
    struct {
        int nDay, nMonth, nYear;
        std::uint16_t wDate;
    } const cases[] = {
        {8, 12, 126, 06100},  // 8 December 2026
        {8, 12, 2026, 06100}, // a full year is taken too
        {1, 1, 86, 00410},
        {31, 12, 93, 06377},
        {29, 2, 124, 01356},  // 2024: (124 - 86) mod 8 = 6
    };
    for (const auto& c : cases) {
        SetTodayForTesting(c.nDay, c.nMonth, c.nYear);
        EXPECT_EQ(EncodeToday(), c.wDate) << c.nDay << "." << c.nMonth << "." << c.nYear;
    }
}

TEST_F(DateTest, DecodeDateFoldsTheYearAndShowsMonthZeroAs12) {
    struct {
        int nThisYear;
        std::uint16_t wDate;
        int nDay, nMonth, nYear;
    } const cases[] = {
        {126, 06100, 8, 12, 86},
        {126, 01740, 28, 3, 86},  // INIT.TX of the RX01 fixture
        {126, 03457, 5, 7, 93},
        {126, 00017, 1, 12, 93},  // month 0 is shown as 12
        {126, 07777, 31, 12, 93}, // and so is month 15
        {90, 03457, 5, 7, 85},    // a year after this one lies eight years back
        {90, 03454, 5, 7, 90},
        {93, 03457, 5, 7, 93},
    };
    for (const auto& c : cases) {
        SetTodayForTesting(1, 1, c.nThisYear);
        int nDay = 0;
        int nMonth = 0;
        int nYear = 0;
        DecodeDate(c.wDate, &nDay, &nMonth, &nYear);
        EXPECT_EQ(nDay, c.nDay) << std::oct << c.wDate;
        EXPECT_EQ(nMonth, c.nMonth) << std::oct << c.wDate;
        EXPECT_EQ(nYear, c.nYear) << std::oct << c.wDate;
    }
}

TEST_F(DateTest, HostClockIsUsedWithoutATestDate) {
    SetTodayForTesting(8, 12, 126);
    SetTodayForTesting(0, 0, 0);
    int nDay = 0;
    int nMonth = 0;
    int nYear = 0;
    GetToday(&nDay, &nMonth, &nYear);
    EXPECT_GE(nDay, 1);
    EXPECT_LE(nDay, 31);
    EXPECT_GE(nMonth, 1);
    EXPECT_LE(nMonth, 12);
    EXPECT_GE(nYear, 124);
    // A date written today decodes to today's day and month, and to a year
    // of the 1986-1993 cycle.
    int nDecodedDay = 0;
    int nDecodedMonth = 0;
    int nDecodedYear = 0;
    DecodeDate(EncodeToday(), &nDecodedDay, &nDecodedMonth, &nDecodedYear);
    EXPECT_EQ(nDecodedDay, nDay);
    EXPECT_EQ(nDecodedMonth, nMonth);
    EXPECT_EQ((nDecodedYear - nYear) % 8, 0);
    EXPECT_GE(nDecodedYear, 86);
    EXPECT_LE(nDecodedYear, 93);
}

}  // namespace
