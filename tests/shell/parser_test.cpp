// The command-line parser and the tools the command handlers use.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "console.h"
#include "shell.h"

namespace {

using shelltest::StderrCapture;

std::string Error(const std::string& text) { return "%ORVA-E, " + text + "\n"; }

// ---- ParseCommand -----------------------------------------------------------

struct ParseCase {
    const char* line;
    bool fOk;
    const char* command;
    const char* qualifiers;
    const char* param1;
    const char* param2;
    std::string err;  // what the parser printed
};

TEST(ParseCommand, SplitsLinesAndReportsTheirErrors) {
    SetProgramName("ORVA");
    const ParseCase cases[] = {
        // Qualifiers may stand anywhere after the command word.
        {"TYPE/CONF A.TX", true, "TYPE", "/CONF", "A.TX", "", ""},
        {"TYPE A.TX/CONF", true, "TYPE", "/CONF", "A.TX", "", ""},
        {"TYPE A.TX /CONF", true, "TYPE", "/CONF", "A.TX", "", ""},
        {"DIR/BRIEF A.TX/FULL B.LS", true, "DIR", "/BRIEF/FULL", "A.TX", "B.LS", ""},
        {"REN /A X / B Y /C", false, "", "", "", "", Error("no qualifier after SLASH")},
        {"REN /A X /B Y /C", true, "REN", "/A/B/C", "X", "Y", ""},
        {"COPY/conf/Sys/conf a b", true, "COPY", "/CONF/SYS/CONF", "a", "b", ""},
        // Command word and qualifiers fold to upper case, parameters keep theirs.
        {"type a.tx/conf", true, "TYPE", "/CONF", "a.tx", "", ""},
        {"Mount x.RX1 /rx01", true, "MOUNT", "/RX01", "x.RX1", "", ""},
        // Blanks: leading, trailing, tabs, and after commas in a list.
        {" \t DIR  ", true, "DIR", "", "", "", ""},
        {"TYPE\tA.TX\tB.TX", true, "TYPE", "", "A.TX", "B.TX", ""},
        {"TYPE A.TX, B.TX,  C.TX", true, "TYPE", "", "A.TX,B.TX,C.TX", "", ""},
        {"TYPE A.TX,\tB.TX, C", true, "TYPE", "", "A.TX,B.TX,C", "", ""},
        {"TYPE A.TX ,B.TX", true, "TYPE", "", "A.TX", ",B.TX", ""},
        {"TYPE A, ", true, "TYPE", "", "A,", "", ""},
        // Words end at the first character that is not a letter or digit.
        {"DIR\\*.SV", true, "DIR", "", "\\*.SV", "", ""},
        // A qualifier word may hold underscores; a command word may not.
        {"MOUNT/READ_ONLY X.RX1", true, "MOUNT", "/READ_ONLY", "X.RX1", "", ""},
        {"DIR /_X", true, "DIR", "/_X", "", "", ""},
        {"DIR_X", true, "DIR", "", "_X", "", ""},
        {"DIR/BRIEF.X", true, "DIR", "/BRIEF", ".X", "", ""},
        {"A1B2 3", true, "A1B2", "", "3", "", ""},
        {"HELP?", true, "HELP", "", "?", "", ""},
        // No command word.
        {"", false, "", "", "", "", Error("no command on line")},
        {"    ", false, "", "", "", "", Error("no command on line")},
        {"?", false, "", "", "", "", Error("no command on line")},
        {" ?", false, "", "", "", "", Error("no command on line")},
        {" !dir", false, "", "", "", "", Error("no command on line")},
        {"/DIR", false, "", "", "", "", Error("no command on line")},
        // A slash must be followed directly by a letter or digit.
        {"DIR /", false, "", "", "", "", Error("no qualifier after SLASH")},
        {"DIR / BRIEF", false, "", "", "", "", Error("no qualifier after SLASH")},
        {"DIR A/", false, "", "", "", "", Error("no qualifier after SLASH")},
        {"q/", false, "", "", "", "", Error("no qualifier after SLASH")},
        {"DIR /.X", false, "", "", "", "", Error("no qualifier after SLASH")},
        // A parameter or a list item in double quotes runs to its closing
        // quote, blanks, slashes and commas included; the quotes stay in the
        // parameter for the list tools and HostPath.
        {"MOUNT /RK05 \"/home/me/my disks/os8.rk05\"", true, "MOUNT", "/RK05",
         "\"/home/me/my disks/os8.rk05\"", "", ""},
        {"WRITE \"/tmp/a b.txt\", \"/tmp/c.txt\" A.TX,C.TX", true, "WRITE", "",
         "\"/tmp/a b.txt\",\"/tmp/c.txt\"", "A.TX,C.TX", ""},
        {"READ *.TX \"/tmp/out dir/\"/IMAGE", true, "READ", "/IMAGE", "*.TX", "\"/tmp/out dir/\"", ""},
        {"TYPE \"a,b\"\"c\"", true, "TYPE", "", "\"a,b\"\"c\"", "", ""},
        {"TYPE \"\"", true, "TYPE", "", "\"\"", "", ""},
        {"TYPE \"a b\"x y", true, "TYPE", "", "\"a b\"x", "y", ""},
        // A quote inside an unquoted item is an ordinary character.
        {"TYPE a\"b c\"", true, "TYPE", "", "a\"b", "c\"", ""},
        // An item that begins with "~/" holds its slashes up to a blank or
        // a comma.
        {"MOUNT /RK05 ~/disks/os8.rk05 /RO", true, "MOUNT", "/RK05/RO", "~/disks/os8.rk05", "", ""},
        {"READ A.TX,B.TX ~/out/,x/IM", true, "READ", "/IM", "A.TX,B.TX", "~/out/,x", ""},
        {"TYPE x~/y", true, "TYPE", "/Y", "x~", "", ""},
        {"MOUNT \"/home/me/x", false, "", "", "", "", Error("missing closing quote")},
        {"WRITE a,\"b c", false, "", "", "", "", Error("missing closing quote")},
        {"TYPE \"a\"\"", false, "", "", "", "", Error("missing closing quote")},
        // Anything after parameter 2 and its qualifiers.
        {"REN A B X Y", false, "", "", "", "", Error("extra parameters on line - \"X Y\"")},
        {"HELP ONE TWO THREE", false, "", "", "", "", Error("extra parameters on line - \"THREE\"")},
        {"REN A B /Q  X, Y/Z ", false, "", "", "", "", Error("extra parameters on line - \"X, Y/Z \"")},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        std::string command = "x", qualifiers = "x", param1 = "x", param2 = "x";
        StderrCapture capture;
        bool fOk = ParseCommand(c.line, command, qualifiers, param1, param2);
        EXPECT_EQ(capture.Take(), c.err);
        ASSERT_EQ(fOk, c.fOk);
        if (fOk) {
            EXPECT_EQ(command, c.command);
            EXPECT_EQ(qualifiers, c.qualifiers);
            EXPECT_EQ(param1, c.param1);
            EXPECT_EQ(param2, c.param2);
        }
    }
}

// ---- MatchQualifier ---------------------------------------------------------

TEST(MatchQualifier, ComparesTheMinimumLengthWithOrWithoutNo) {
    struct Case {
        const char* qualifier;
        const char* keyword;
        std::size_t nLength;
        bool fMatch;
        bool fFlag;  // when matched
    };
    const Case cases[] = {
        {"CONF", "CONFIRM", 4, true, true},
        {"CONFIRM", "CONFIRM", 4, true, true},
        {"CONFX", "CONFIRM", 4, true, true},
        {"NOCONF", "CONFIRM", 4, true, false},
        {"NOCONFIRM", "CONFIRM", 4, true, false},
        {"NOCONFXYZ", "CONFIRM", 4, true, false},
        {"CON", "CONFIRM", 4, false, false},
        {"NOCON", "CONFIRM", 4, false, false},
        {"NO", "CONFIRM", 4, false, false},
        {"", "CONFIRM", 4, false, false},
        {"NOCONX", "CONFIRM", 4, false, false},
        {"conf", "CONFIRM", 4, false, false},
        {"BRIEF", "BRIEF", 5, true, true},
        {"BRIE", "BRIEF", 5, false, false},
        {"NB", "NB03", 2, true, true},
        {"NONB", "NB03", 2, true, false},
        {"N", "NB03", 2, false, false},
        {"RX01", "RX01", 4, true, true},
        {"RX0", "RX01", 4, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.qualifier) + " vs " + c.keyword);
        // A failed match leaves the flag as it was, whichever value it had.
        for (bool fBefore : {false, true}) {
            bool fFlag = fBefore;
            EXPECT_EQ(MatchQualifier(c.qualifier, c.keyword, c.nLength, &fFlag), c.fMatch);
            EXPECT_EQ(fFlag, c.fMatch ? c.fFlag : fBefore);
        }
    }
}

// ---- Lists ------------------------------------------------------------------

TEST(GetListItem, TakesItemsByIndex) {
    struct Case {
        const char* list;
        char separator;
        unsigned nIndex;
        bool fFound;
        const char* item;
    };
    const Case cases[] = {
        {"P,Q,R", ',', 0, true, "P"},
        {"P,Q,R", ',', 1, true, "Q"},
        {"P,Q,R", ',', 2, true, "R"},
        {"P,Q,R", ',', 3, false, ""},
        {"A,,B", ',', 1, true, ""},
        {"A,,B", ',', 2, true, "B"},
        {"A,", ',', 1, true, ""},
        {",A", ',', 0, true, ""},
        {"", ',', 0, false, ""},
        {"", ',', 1, false, ""},
        {"FOO.PA", ',', 0, true, "FOO.PA"},
        {"FOO.PA", ',', 1, false, ""},
        {"A/B,C", ',', 0, true, "A/B"},
        // A quoted item holds its commas and loses its quotes; two quotes
        // inside stand for one, and text after the closing quote stays.
        {"\"a,b\",C", ',', 0, true, "a,b"},
        {"\"a,b\",C", ',', 1, true, "C"},
        {"\"a,b\",C", ',', 2, false, ""},
        {"X,\"say \"\"hi\"\"\"", ',', 1, true, "say \"hi\""},
        {"\"a\"b,c", ',', 0, true, "ab"},
        {"\"\",c", ',', 0, true, ""},
        {"a\"b,c\"", ',', 1, true, "c\""},
        // An unclosed quote (the parser never passes one) runs to the end.
        {"\"a,b", ',', 0, true, "a,b"},
        {"\"a,b", ',', 1, false, ""},
        // The qualifier text: item 0 is the empty text before the first slash.
        {"/CONF/SYS", '/', 0, true, ""},
        {"/CONF/SYS", '/', 1, true, "CONF"},
        {"/CONF/SYS", '/', 2, true, "SYS"},
        {"/CONF/SYS", '/', 3, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " #" + std::to_string(c.nIndex));
        std::string item = "old";
        ASSERT_EQ(GetListItem(c.list, item, c.separator, c.nIndex), c.fFound);
        if (c.fFound) {
            EXPECT_EQ(item, c.item);
        }
    }
}

TEST(GetQuotedListItem, KeepsTheQuotesForHostPaths) {
    std::string item;
    ASSERT_TRUE(GetQuotedListItem("\"/tmp/a b.txt\",\"/tmp/c,d\",e", item, ',', 0));
    EXPECT_EQ(item, "\"/tmp/a b.txt\"");
    ASSERT_TRUE(GetQuotedListItem("\"/tmp/a b.txt\",\"/tmp/c,d\",e", item, ',', 1));
    EXPECT_EQ(item, "\"/tmp/c,d\"");
    ASSERT_TRUE(GetQuotedListItem("\"/tmp/a b.txt\",\"/tmp/c,d\",e", item, ',', 2));
    EXPECT_EQ(item, "e");
}

TEST(Quoting, QuoteAndUnquoteAreInverse) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "\"plain\""},
        {"", "\"\""},
        {"a b,c/d", "\"a b,c/d\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"C:\\x", "\"C:\\x\""},
    };
    for (const auto& [plain, quoted] : cases) {
        EXPECT_EQ(Quote(plain), quoted);
        EXPECT_EQ(Unquote(quoted), plain);
        EXPECT_TRUE(IsQuoted(quoted));
    }
    EXPECT_FALSE(IsQuoted("a\"b\""));
    EXPECT_EQ(Unquote("a\"b\""), "a\"b\"");
}

TEST(CountListItems, CountsCommaSeparatedItems) {
    const std::pair<const char*, unsigned> cases[] = {
        {"", 0}, {"A", 1}, {"A,B", 2}, {"A,", 2}, {",", 2}, {"A,,B", 3}, {"A/B", 1},
        {"\"A,B\"", 1}, {"\"A,B\",C", 2}, {"\"A\"\",\"\"B\",C", 2},
    };
    for (const auto& [parameter, nCount] : cases)
        EXPECT_EQ(CountListItems(parameter), nCount) << parameter;
}

TEST(CheckNoList, RejectsAnyComma) {
    SetProgramName("ORVA");
    const std::pair<const char*, bool> cases[] = {
        {"A,B", false}, {"A,", false}, {",", false}, {"A", true}, {"", true},
        {"\"a,b\"", true}, {"\"a\",b", false},
    };
    for (const auto& [parameter, fOk] : cases) {
        SCOPED_TRACE(parameter);
        StderrCapture capture;
        EXPECT_EQ(CheckNoList(parameter), fOk);
        EXPECT_EQ(capture.Take(), fOk ? "" : Error(std::string("list not allowed - ") + parameter));
    }
}

// ---- Parameter and qualifier checks -------------------------------------------

TEST(CheckParameterCount, EnforcesExactCounts) {
    SetProgramName("ORVA");
    const std::string kExtra = Error("extra parameter(s)");
    const std::string kMissing = Error("additional parameters required");
    struct Case {
        int nCount;
        const char* param1;
        const char* param2;
        std::string err;  // empty when the check passes
    };
    const Case cases[] = {
        {0, "", "", ""},       {0, "A", "", kExtra},       {0, "A", "B", kExtra},
        {1, "", "", kMissing}, {1, "A", "", ""},           {1, "A", "B", kExtra},
        {2, "", "", kMissing}, {2, "A", "", kMissing},     {2, "A", "B", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nCount) + " [" + c.param1 + "] [" + c.param2 + "]");
        StderrCapture capture;
        EXPECT_EQ(CheckParameterCount(c.nCount, c.param1, c.param2), c.err.empty());
        EXPECT_EQ(capture.Take(), c.err);
    }
}

TEST(QualifierChecks, ReportTheWholeQualifierText) {
    SetProgramName("ORVA");
    {
        StderrCapture capture;
        EXPECT_TRUE(CheckNoQualifiers(""));
        EXPECT_EQ(capture.Take(), "");
    }
    {
        StderrCapture capture;
        EXPECT_FALSE(CheckNoQualifiers("/NOW/X"));
        EXPECT_EQ(capture.Take(), Error("no qualifiers allowed - /NOW/X"));
    }
    {
        StderrCapture capture;
        ReportUnknownQualifier("FOO");
        EXPECT_EQ(capture.Take(), Error("unknown qualifier FOO"));
    }
}

// ---- ParsePartitionName -------------------------------------------------------

TEST(ParsePartitionName, ReadsUnsignedDecimalNumbers) {
    struct Case {
        const char* text;
        bool fOk;
        std::uint32_t nNumber;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"12", true, 12},
        {"007", true, 7},
        {"", true, 0},
        {"4294967295", true, 4294967295u},
        // A number that does not fit 32 bits is rejected, not wrapped.
        {"4294967296", false, 0},
        {"10000000000", false, 0},
        {"99999999999999999999999", false, 0},
        {"1A", false, 0},
        {"A", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::uint32_t nNumber = 99;
        StderrCapture capture;
        ASSERT_EQ(ParsePartitionName(c.text, &nNumber), c.fOk);
        EXPECT_EQ(capture.Take(), "");
        if (c.fOk) {
            EXPECT_EQ(nNumber, c.nNumber);
        }
    }
}

}  // namespace
