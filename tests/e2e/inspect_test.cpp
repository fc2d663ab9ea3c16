// End-to-end tests of the inspection commands DUMP, DIRECTORY and TYPE
// where a transcript would be long or repetitive: block numbers and limits
// of DUMP, the partition in its header, and the real OS/8 media.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace orvatest {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The DUMP header lines and the E messages of a run, in order; the prompts
// the lines may follow are dropped.
std::vector<std::string> HeadersAndErrors(const std::string& err) {
    std::vector<std::string> found;
    for (std::string line : Lines(err)) {
        while (line.rfind("ORVA>", 0) == 0)
            line.erase(0, 5);
        if (line.rfind("Dump of", 0) == 0 || line.rfind("%ORVA-E", 0) == 0)
            found.push_back(line);
    }
    return found;
}

// A dump row: a four-digit octal offset and "/", eight words of a blank and
// four octal digits, then two blanks, sixteen SIXBIT characters, two blanks
// and twelve text characters: 77 characters.
bool IsDumpRow(const std::string& line) {
    auto octal = [&](std::size_t at) { return line[at] >= '0' && line[at] <= '7'; };
    if (line.size() != 77 || line[4] != '/' || line.compare(45, 2, "  ") != 0 ||
        line.compare(63, 2, "  ") != 0)
        return false;
    for (std::size_t at = 0; at < 4; ++at)
        if (!octal(at))
            return false;
    for (std::size_t word = 0; word < 8; ++word) {
        std::size_t at = 5 + 5 * word;
        if (line[at] != ' ' || !octal(at + 1) || !octal(at + 2) || !octal(at + 3) || !octal(at + 4))
            return false;
    }
    return true;
}

int CountDumpRows(const std::string& err) {
    int n = 0;
    for (const auto& line : Lines(err))
        n += IsDumpRow(line);
    return n;
}

void MakeImage(const fs::path& file, std::uintmax_t nBytes) {
    WriteFile(file, "");
    fs::resize_file(file, nBytes);
}

struct DumpCase {
    const char* command;
    std::vector<std::string> expected;  // headers and errors, in order
};

TEST(Dump, BlockNumbersAndRangesOnRx01) {
    const DumpCase cases[] = {
        {"DUMP 0", {"Dump of OS/8 LBN 0 (0000)"}},
        {"DUMP 7 7", {"Dump of OS/8 LBN 7 (0007)"}},
        {"DUMP 2 4",
         {"Dump of OS/8 LBN 2 (0002)", "Dump of OS/8 LBN 3 (0003)", "Dump of OS/8 LBN 4 (0004)"}},
        {"DUMP 8 7", {"%ORVA-E, ending block must be greater than starting"}},
        {"DUMP 493", {"Dump of OS/8 LBN 493 (0755)"}},
        {"DUMP 494", {"%ORVA-E, block number is too large for disk"}},
        {"DUMP 490 494", {"%ORVA-E, block number is too large for disk"}},
        {"DUMP 010", {"Dump of OS/8 LBN 8 (0010)"}},
        {"DUMP 0x10", {"Dump of OS/8 LBN 16 (0020)"}},
        {"DUMP 0X1f", {"Dump of OS/8 LBN 31 (0037)"}},
        {"DUMP 09", {"%ORVA-E, not a valid number - \"9\""}},
        {"DUMP 12A", {"%ORVA-E, not a valid number - \"A\""}},
        {"DUMP ABC", {"%ORVA-E, not a valid number - \"ABC\""}},
        {"DUMP 1 2X", {"%ORVA-E, not a valid number - \"X\""}},
        {"DUMP -1", {"%ORVA-E, block number is too large for disk"}},
        // Past the range of 32 bits: refused, not wrapped round to block 0.
        {"DUMP 4294967296", {"%ORVA-E, block number is too large for disk"}},
        {"DUMP", {"%ORVA-E, specify block number to dump"}},
        {"DUMP /X 1", {"%ORVA-E, no qualifiers allowed - /X"}},
    };
    TempDir dir;
    MakeImage(dir / "ZERO.rx1", 256256);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        OrvaRun run = RunOrva(dir.path(), std::string("MOUNT /RX01 ZERO\n") + c.command + "\n");
        EXPECT_EQ(HeadersAndErrors(run.err), c.expected);
        int nBlocks = 0;
        for (const auto& line : c.expected)
            nBlocks += line.rfind("Dump of", 0) == 0;
        EXPECT_EQ(CountDumpRows(run.err), 32 * nBlocks);
    }
}

TEST(Dump, ChecksOrderWithNothingMounted) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "DUMP\nDUMP 09\nDUMP 1\n");
    EXPECT_EQ(HeadersAndErrors(run.err),
              (std::vector<std::string>{"%ORVA-E, specify block number to dump",
                                        "%ORVA-E, no disk mounted", "%ORVA-E, no disk mounted"}));
}

TEST(Dump, HighestBlockOfEachDiskType) {
    struct Limit {
        const char* type;
        const char* last;
        const char* header;
    };
    const Limit limits[] = {
        {"RX01", "493", "Dump of OS/8 LBN 493 (0755)"},
        {"RX50", "765", "Dump of OS/8 LBN 765 (1375)"},
        {"NB03", "1343", "Dump of OS/8 LBN 1343 (2477)"},
        {"HE02", "4095", "Dump of OS/8 LBN 4095 (7777)"},
        {"RK05", "3247", "Dump of OS/8 LBN 3247 (6257), partition 0"},
        {"TU56", "736", "Dump of OS/8 LBN 736 (1340)"},
        {"RX02", "987", "Dump of OS/8 LBN 987 (1733)"},
    };
    TempDir dir;
    for (const auto& limit : limits) {
        SCOPED_TRACE(limit.type);
        std::string last = limit.last;
        std::string past = std::to_string(std::stoul(last) + 1);
        OrvaRun run = RunOrva(dir.path(), std::string("MOUNT /INITIALIZE /") + limit.type + " D" +
                                              limit.type + "\nDUMP " + past + "\nDUMP " + last + "\n");
        EXPECT_EQ(HeadersAndErrors(run.err),
                  (std::vector<std::string>{"%ORVA-E, block number is too large for disk", limit.header}));
    }
}

TEST(Dump, HeaderNamesThePartitionOfRk05AndDrives) {
    TempDir dir;
    MakeImage(dir / "PACK.rk5", 3325952);
    MakeImage(dir / "DRIVE.IMG", 3 * 4096 * 512);
    MakeImage(dir / "ONE.he2", 2097152);
    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /RK05 PACK\nDUMP 0\nPARTITION B\nDUMP 3247\n"
                          "MOUNT /PHYSICAL /HE02 /NOCONFIRM DRIVE.IMG\nPARTITION 2\nDUMP 5\n"
                          "MOUNT /HE02 ONE\nDUMP 5\n");
    EXPECT_EQ(HeadersAndErrors(run.err),
              (std::vector<std::string>{"Dump of OS/8 LBN 0 (0000), partition 0",
                                        "Dump of OS/8 LBN 3247 (6257), partition 1",
                                        "Dump of OS/8 LBN 5 (0005), partition 2",
                                        "Dump of OS/8 LBN 5 (0005)"}));
    EXPECT_EQ(CountDumpRows(run.err), 4 * 32);
}

// An RK05 image keeps whatever its words hold above the twelfth bit; the
// dump shows the 12-bit word and keeps its columns.
TEST(Dump, WordsWithHighBitsKeepTheRowShape) {
    TempDir dir;
    MakeImage(dir / "PACK.rk5", 3325952);
    {
        std::fstream image(dir / "PACK.rk5", std::ios::in | std::ios::out | std::ios::binary);
        const char bytes[] = {'\x23', '\xF1', '\x42', '\x70'};
        image.write(bytes, sizeof bytes);
    }
    OrvaRun run = RunOrva(dir.path(), "MOUNT /RK05 PACK\nDUMP 0\n");
    EXPECT_NE(run.err.find("\n0000/ 0443 0102 0000 0000 0000 0000 0000 0000  D#AB          "),
              std::string::npos)
        << run.err;
    EXPECT_EQ(CountDumpRows(run.err), 32);
}

// ---- Real OS/8 media -----------------------------------------------------------

struct ListedFile {
    std::string name;
    int length;
    unsigned start;
    unsigned date;
};

// The files of a fixture listing (free areas left out), in directory order.
std::vector<ListedFile> ReadListing(const fs::path& file) {
    std::vector<ListedFile> files;
    std::ifstream in(file);
    std::string name, start, date;
    int length = 0;
    while (in >> name >> length >> start >> date) {
        if (name != "<empty>")
            files.push_back({name, length, static_cast<unsigned>(std::stoul(start, nullptr, 8)),
                             static_cast<unsigned>(std::stoul(date, nullptr, 8))});
    }
    return files;
}

// The full-form line DIRECTORY prints for a listed file. The date's year
// is 1986 plus the offset, as it is for every year from 1993 on.
std::string FullLine(const ListedFile& f) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    char date[16];
    if (f.date == 0) {
        std::snprintf(date, sizeof date, " (none)  ");
    } else {
        unsigned month = (f.date >> 8) & 15;
        if (month == 0 || month > 12)
            month = 12;
        std::snprintf(date, sizeof date, "%2u-%s-%2u", (f.date >> 3) & 31, kMonths[month - 1],
                      86 + (f.date & 7));
    }
    char line[64];
    std::snprintf(line, sizeof line, "%-9s%5d   %s  (%04o)", f.name.c_str(), f.length, date, f.start);
    return line;
}

// The listing DIRECTORY prints for the files of a fixture listing. The
// files of these media lie end to end up to the free area at the end of a
// unit of nUnitBlocks blocks.
std::string ExpectedDirectory(const std::string& header, const std::vector<ListedFile>& files,
                              int nUnitBlocks) {
    std::string text = "\nDirectory of " + header + "\n";
    int nBlocks = 0;
    for (const auto& f : files) {
        text += FullLine(f) + "\n";
        nBlocks += f.length;
    }
    int nFree = nUnitBlocks - static_cast<int>(files.front().start) - nBlocks;
    return text + "\nTotal of " + std::to_string(nBlocks) + " blocks in " + std::to_string(files.size()) +
           " files.\n" + std::to_string(nFree) + " blocks free.\n";
}

class RealMedia : public testing::Test {
protected:
    void SetUp() override {
        if (!HaveFixtures())
            LEAVE_WITHOUT_FIXTURE(FixturesDir());
    }
    TempDir dir;
};

TEST_F(RealMedia, Rk05UnitsListInDirectoryOrderAndTypeText) {
    fs::copy_file(FixturesDir() / "os8-v3d.rk05", dir / "V3D.rk5");
    auto unit0 = ReadListing(FixturesDir() / "os8-v3d.unit0.lst");
    auto unit1 = ReadListing(FixturesDir() / "os8-v3d.unit1.lst");
    ASSERT_EQ(unit0.size(), 203u);
    ASSERT_EQ(unit1.size(), 74u);
    std::string hello = ReadFile(FixturesDir() / "os8-v3d.unit1.HELLO.BA.txt");

    OrvaRun run = RunOrva(dir.path(), "MOUNT /RK05 V3D.rk5\nDIR\nPARTITION B\nDIR\nTYPE HELLO.BA\n");
    std::string expected = "ORVA>%ORVA-I, mounted virtual disk on file V3D.rk5\nORVA>" +
                           ExpectedDirectory("V3D.rk5, partition 0", unit0, 3248) + "ORVA>ORVA>" +
                           ExpectedDirectory("V3D.rk5, partition 1", unit1, 3248) + "ORVA>\n[HELLO.BA]\n\n" +
                           hello + "\nORVA>%ORVA-I, dismounting disk V3D.rk5\n";
    EXPECT_EQ(run.err, expected);
}

TEST_F(RealMedia, ShortRx01ImageListsItsFiveFiles) {
    fs::copy_file(FixturesDir() / "os8-made.rx01", dir / "MADE.rx1");
    auto files = ReadListing(FixturesDir() / "os8-made.rx01.lst");
    ASSERT_EQ(files.size(), 5u);
    OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 MADE\nDIR\n");
    EXPECT_EQ(run.err, "ORVA>%ORVA-I, mounted virtual disk on file MADE.rx1\nORVA>" +
                           ExpectedDirectory("MADE.rx1", files, 494) +
                           "ORVA>%ORVA-I, dismounting disk MADE.rx1\n");
    // Mounting and listing changes nothing on the medium.
    EXPECT_EQ(ReadFile(dir / "MADE.rx1"), ReadFile(FixturesDir() / "os8-made.rx01"));
}

// The distribution DECtape: DIRECTORY shows the 14 files OS/8's own DIR
// lists, leaving out the entry of length 0 (FORT.PA, a tentative file that
// was never closed) as OS/8 does; TYPE and READ give the text OS/8 types;
// READ *.* copies every file, the empty one as an empty host file; and none
// of it changes the tape.
TEST_F(RealMedia, DistributionTapeListsFourteenFilesAndTypesText) {
    fs::copy_file(FixturesDir() / "os8-v3d-dist1.tu56", dir / "DIST.tu56");
    fs::create_directory(dir / "all");
    std::vector<ListedFile> files;
    for (const ListedFile& f : ReadListing(FixturesDir() / "os8-v3d-dist1.tu56.lst"))
        if (f.length != 0)
            files.push_back(f);
    ASSERT_EQ(files.size(), 14u);
    std::string asr33 = ReadFile(FixturesDir() / "os8-v3d-dist1.ASR33.PA.txt");

    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /TU56 DIST\nDIR\nTYPE ASR33.PA\nREAD ASR33.PA asr33.txt\n"
                          "DIR FORT.PA\nREAD *.* all\\ /IMAGE\n");
    std::string expected = "ORVA>%ORVA-I, mounted virtual disk on file DIST.tu56\nORVA>" +
                           ExpectedDirectory("DIST.tu56", files, 737) + "ORVA>\n[ASR33.PA]\n\n" + asr33 +
                           "\nORVA>%ORVA-I, read ASR33.PA into ASCII file asr33.txt\nORVA>"
                           "\nDirectory of DIST.tu56\n%ORVA-W, no files found to match FORT.PA\n"
                           "\nTotal of 0 blocks in 0 files.\n171 blocks free.\nORVA>";
    EXPECT_EQ(run.err.substr(0, expected.size()), expected);
    EXPECT_EQ(ReadFile(dir / "asr33.txt"), ProgramHostText(asr33));
    for (const ListedFile& f : files)
        EXPECT_EQ(fs::file_size(dir / "all" / f.name), f.length * 384u) << f.name;
    EXPECT_EQ(fs::file_size(dir / "all" / "FORT.PA"), 0u);
    EXPECT_EQ(ReadFile(dir / "DIST.tu56"), ReadFile(FixturesDir() / "os8-v3d-dist1.tu56"));
}

}  // namespace
}  // namespace orvatest
