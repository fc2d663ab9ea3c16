// The names READ, WRITE and RENAME form for the files they create.
#include <gtest/gtest.h>

#include "commands.h"

namespace {

struct NameCase {
    const char* pszFrom;     // the existing name
    const char* pszPattern;  // the destination or pattern typed
    const char* pszResult;
};

TEST(MakeHostName, FillsBaseAndExtensionFromTheOS8Name) {
    const NameCase kCases[] = {
        {"FOO.PA", "", "FOO.PA"},
        {"FOO.PA", "C:\\TMP\\", "C:\\TMP\\FOO.PA"},
        {"FOO.PA", "*.TXT", "FOO.TXT"},
        {"FOO.PA", "BAR", "BAR.PA"},
        {"FOO.PA", "BAR.*", "BAR.PA"},
        {"FOO.PA", "C:\\TMP\\BAR.LST", "C:\\TMP\\BAR.LST"},
        {"FOO.PA", "*", "FOO.PA"},
        {"FOO.PA", "out\\*.*", "out\\FOO.PA"},
        {"FOO.PA", "sub/", "sub/FOO.PA"},
        // Other wildcards stay in the host name.
        {"FOO.PA", "B?R", "B?R.PA"},
        // A file without extension keeps its dot here; HostOutputPath drops it.
        {"LIST.", "", "LIST."},
        {"LIST.", "out\\", "out\\LIST."},
        {"LIST.", "*.TXT", "LIST.TXT"},
        // A name from a damaged disk never names another folder.
        {"A/B.C", "", "A_B.C"},
        {"../EVI.L", "out\\", "out\\.._EVI.L"},
        {"\\X.Y", "*.TXT", "_X.TXT"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(MakeHostName(c.pszFrom, c.pszPattern), c.pszResult) << c.pszFrom << " to " << c.pszPattern;
}

TEST(HostOutputPath, TurnsBackslashesAndDropsTrailingDots) {
    const std::pair<const char*, const char*> kCases[] = {
        {"FOO.PA", "FOO.PA"},
        {"LIST.", "LIST"},
        {"out\\LIST.", "out/LIST"},
        {"C:\\TMP\\FOO.PA", "C:/TMP/FOO.PA"},
        {"A..", "A"},
        // Names made of dots alone are directories and stay unchanged.
        {".", "."},
        {"out\\..", "out/.."},
    };
    for (const auto& [pszName, pszPath] : kCases)
        EXPECT_EQ(HostOutputPath(pszName), pszPath) << pszName;
}

TEST(MakeOS8Name, FillsCutsFoldsAndReplaces) {
    const NameCase kCases[] = {
        {"readme.txt", "*.*", "README.TX"},
        {"my-file.c", "*.*", "MYXFIL.C"},
        {"prog.sav", "*.SV", "PROG.SV"},
        {"data.bin", "NEW.*", "NEW.BI"},
        {"x.txt", "ABCDEFGH.LONG", "ABCDEF.LO"},
        {"notes.txt", "F?O.TX", "FXO.TX"},
        {"makefile", "*.*", "MAKEFI"},
        {"a.txt", "X.TX", "X.TX"},
        {"b.txt", "*.*", "B.TX"},
        // The directory part of the host path plays no part.
        {"dir\\sub\\Hello.Pal", "*.*", "HELLO.PA"},
        {"C:\\a.b\\name", "*.*", "NAME"},
        // The host extension is the part after the last dot; a dot left in
        // the base is kept (it starts the extension again when stored).
        {"archive.tar.gz", "*.*", "ARCHIV.GZ"},
        {"a.b.c", "*.*", "A.B.C"},
        // An empty pattern base or extension takes the host's.
        {"report.lst", ".TX", "REPORT.TX"},
        {"report.lst", "NEW", "NEW.LS"},
        // A name without name characters stays empty before its dot: the
        // caller refuses it.
        {".profile", "*.*", ".PR"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(MakeOS8Name(c.pszFrom, c.pszPattern), c.pszResult) << c.pszFrom << " with " << c.pszPattern;
}

TEST(MakeNewName, TakesWildcardCharactersFromTheOldName) {
    const NameCase kCases[] = {
        {"FOO.PA", "*.BAK", "FOO.BAK"},
        {"FOO.PA", "BAR.*", "BAR.PA"},
        {"FOO.PA", "?X?.*", "FXO.PA"},
        {"FOO.PA", "*.*", "FOO.PA"},
        {"FOO.PA", "*", "FOO"},
        {"FOO.PA", "NEW.TX", "NEW.TX"},
        // "?" past the end of the old name's part adds nothing.
        {"AB.C", "????.??", "AB.C"},
        // Characters after "*" up to the next dot are skipped.
        {"FOO.PA", "*X.TX", "FOO.TX"},
        // A literal character moves the old position along.
        {"FOO.PA", "Z?.?", "ZO.P"},
        {"LIST.", "*.LS", "LIST.LS"},
        {"LIST.", "*.*", "LIST."},
        {"FOO.PA", ".TX", ".TX"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(MakeNewName(c.pszFrom, c.pszPattern), c.pszResult) << c.pszFrom << " to " << c.pszPattern;
}

}  // namespace
