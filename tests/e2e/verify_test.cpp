// End-to-end tests of VERIFY: one crafted damage per check, each built with
// the image builder of the transcripts (images.sh) on an HE02 image, and the
// real OS/8 media, on which VERIFY finds nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace orvatest {
namespace {

struct DamageCase {
    const char* pszName;
    const char* pszBuild;                  // shell lines after images.sh is sourced
    std::vector<std::string> messages;     // what VERIFY reports, in order
    const char* pszSummary;
};

// The sound directory the cases start from: A.TX in blocks 7-16 and the rest
// of the 4,096 blocks free.
const std::vector<DamageCase> kCases = {
    {"sound",
     "{ segment 2 7; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 0 errors, 0 warnings"},
    {"link outside the directory blocks",
     "{ words 07776 7 7 0 07777; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {"E, directory segment 1 links to block 7, outside blocks 1-6"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings"},
    {"link back to a segment read before",
     "{ words 07776 7 2 0 07777; entry A.TX 01563 10; empty 10; } | put D.he2 1\n"
     "{ words 07777 27 1 0 07777; empty 4069; } | put D.he2 2",
     {"E, directory segment 2 links back to segment 1"},
     "2 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings"},
    {"entry count beyond the block",
     "{ segment 200 7; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {"E, directory segment 1: its 200 entries do not fit in 256 words"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings"},
    {"more than 63 information words",
     "{ words 07776 7 0 0 $((-64 & 07777)) $(name_words A.TX) 01563;\n"
     "  i=0; while [ $i -lt 63 ]; do words 0; i=$((i + 1)); done;\n"
     "  words 07766; empty 4079; } | put D.he2 1",
     {"E, directory segment 1 has 64 additional information words, more than 63"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings"},
    {"information words differ between segments",
     "{ words 07777 7 2 0 07777; entry A.TX 01563 10; } | put D.he2 1\n"
     "{ words 07776 17 0 0 07776 $(name_words B.TX) 01563 0 07773; empty 4074; } | put D.he2 2",
     {"E, directory segment 2 has 2 additional information words, segment 1 has 1"},
     "2 segments, 2 files, 15 blocks in files, 4074 free: 1 errors, 0 warnings"},
    {"segment not beginning where the previous one ends",
     "{ words 07777 7 2 0 07777; entry A.TX 01563 10; } | put D.he2 1\n"
     "{ words 07777 20 0 0 07777; empty 4076; } | put D.he2 2",
     {"E, directory segment 2 begins at block 20, but segment 1 ends at block 17"},
     "2 segments, 1 files, 10 blocks in files, 4076 free: 1 errors, 0 warnings"},
    {"tentative-file word naming no entry",
     "{ segment 2 7 01400; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {"E, directory segment 1: tentative-file word 1400 names no entry"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings"},
    {"area past the end of the unit",
     "{ segment 2 7; entry A.TX 01563 10; empty 4089; } | put D.he2 1",
     {"E, free area at blocks 17-4105 lies outside blocks 7-4095 of the unit"},
     "1 segments, 1 files, 10 blocks in files, 4089 free: 1 errors, 0 warnings"},
    {"area in the directory blocks",
     "{ segment 2 3; entry A.TX 01563 10; empty 4083; } | put D.he2 1",
     {"E, file A.TX at blocks 3-12 lies outside blocks 7-4095 of the unit"},
     "1 segments, 1 files, 10 blocks in files, 4083 free: 1 errors, 0 warnings"},
    {"two files sharing blocks",
     "{ words 07777 7 2 0 07777; entry A.TX 01563 10; } | put D.he2 1\n"
     "{ words 07776 12 0 0 07777; entry B.TX 01563 5; empty 4079; } | put D.he2 2",
     {"E, directory segment 2 begins at block 12, but segment 1 ends at block 17",
      "E, file A.TX at blocks 7-16 and file B.TX at blocks 12-16 share blocks"},
     "2 segments, 2 files, 15 blocks in files, 4079 free: 2 errors, 0 warnings"},
    {"blocks at the end in no area",
     "{ segment 2 7; entry A.TX 01563 10; empty 4000; } | put D.he2 1",
     {"W, blocks 4017-4095 at the end of the unit lie in no area"},
     "1 segments, 1 files, 10 blocks in files, 4000 free: 0 errors, 1 warnings"},
    {"name OS/8 cannot type",
     "{ segment 2 7; entry A-B.TX 01563 10; empty 4079; } | put D.he2 1",
     {"W, file A-B.TX at block 7: its name (0155 0200 0000 2430) has characters OS/8 cannot type"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"two files of one name",
     "{ segment 3 7; entry A.TX 01563 10; entry A.TX 01563 10; empty 4069; } | put D.he2 1",
     {"W, two files named A.TX, at blocks 7 and 17: OS/8 finds the first"},
     "1 segments, 2 files, 20 blocks in files, 4069 free: 0 errors, 1 warnings"},
    {"permanent file of length 0",
     "{ segment 3 7; entry Z.TX 01563 0; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {"W, file Z.TX at block 7 has length 0: OS/8's DIR does not list it"},
     "1 segments, 2 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"tentative file left open",
     "{ segment 3 7 01412; entry T.TX 01563 0; entry A.TX 01563 10; empty 4079; } | put D.he2 1",
     {"W, file T.TX at block 7 is a tentative file left open: OS/8's DIR does not list it"},
     "1 segments, 2 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"date with month 13",
     "{ segment 2 7; entry A.TX 06451 10; empty 4079; } | put D.he2 1",
     {"W, file A.TX at block 7: its date word 6451 is no date"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"date with month 0",
     "{ segment 2 7; entry A.TX 00051 10; empty 4079; } | put D.he2 1",
     {"W, file A.TX at block 7: its date word 0051 is no date"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"date with day 0",
     "{ segment 2 7; entry A.TX 01401 10; empty 4079; } | put D.he2 1",
     {"W, file A.TX at block 7: its date word 1401 is no date"},
     "1 segments, 1 files, 10 blocks in files, 4079 free: 0 errors, 1 warnings"},
    {"system disk without a boot block",
     "{ segment 2 56; entry A.TX 01563 10; empty 4030; } | put D.he2 1",
     {"W, system disk with an all-zero boot block: it cannot be booted"},
     "1 segments, 1 files, 10 blocks in files, 4030 free: 0 errors, 1 warnings"},
    {"system disk with a boot block",
     "{ segment 2 56; entry A.TX 01563 10; empty 4030; } | put D.he2 1\n"
     "words 04207 | put D.he2 0",
     {},
     "1 segments, 1 files, 10 blocks in files, 4030 free: 0 errors, 0 warnings"},
};

TEST(VerifyTest, ReportsEachCraftedDamageAndGoesOn) {
    for (const DamageCase& damage : kCases) {
        SCOPED_TRACE(damage.pszName);
        TempDir dir;
        std::string output;
        ASSERT_EQ(RunShell(dir.path(),
                           std::string(". \"$TRANSCRIPTS/images.sh\"\ntruncate -s 2097152 D.he2\n") +
                               damage.pszBuild + "\n",
                           &output),
                  0)
            << output;
        // A read-only mount: VERIFY never writes.
        OrvaRun run = RunOrva(dir.path(), "MOUNT /HE02 /READ D\nVERIFY\n");
        std::string expected = "ORVA>%ORVA-I, mounted virtual disk on file D.he2\nORVA>";
        for (const std::string& message : damage.messages)
            expected += "%ORVA-" + message + "\n";
        expected += std::string("%ORVA-I, ") + damage.pszSummary + "\nORVA>%ORVA-I, dismounting disk D.he2\n";
        EXPECT_EQ(run.err, expected);
        EXPECT_EQ(run.status, 0);
    }
}

TEST(VerifyTest, BlockThatCannotBeReadIsAnErrorAndTheSummaryFollows) {
    TempDir dir;
    // A drive of four sectors: segment 1 links to segment 5, past its end.
    ASSERT_EQ(RunShell(dir.path(), ". \"$TRANSCRIPTS/images.sh\"\ntruncate -s 2048 D.img\n"
                                   "{ words 07776 7 5 0 07777; entry A.TX 01563 10; empty 4079; } | put D.img 1\n"),
              0);
    OrvaRun run = RunOrva(dir.path(), "MOUNT /PHYSICAL /HE02 /NOCONFIRM D.img\nVERIFY\nDIR\n");
    EXPECT_NE(run.err.find("ORVA>%ORVA-E, block 5 is outside disk D.img\n"
                           "%ORVA-I, 1 segments, 1 files, 10 blocks in files, 4079 free: 1 errors, 0 warnings\n"
                           "ORVA>\nDirectory of D.img, partition 0\n"),
              std::string::npos)
        << run.err;
}

TEST(VerifyTest, QualifierAndParameterErrors) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "VERIFY\nVER /AL\nVER X\nVERIFY /ALLX /ALL\n");
    EXPECT_EQ(run.err,
              "ORVA>%ORVA-E, no disk mounted\n"
              "ORVA>%ORVA-E, unknown qualifier AL\n"
              "ORVA>%ORVA-E, extra parameter(s)\n"
              "ORVA>%ORVA-E, no disk mounted\n"
              "ORVA>");
}

TEST(VerifyTest, RealMediaHaveNoErrors) {
    if (!HaveFixtures())
        LEAVE_WITHOUT_FIXTURE(FixturesDir());
    TempDir dir;
    fs::copy_file(FixturesDir() / "os8-v3d.rk05", dir / "pack.rk5");
    fs::copy_file(FixturesDir() / "os8-v3d-dist1.tu56", dir / "dist.tu56");
    fs::copy_file(FixturesDir() / "os8-made.rx01", dir / "floppy.rx1");
    // VERIFY /ALL goes through both units of the pack and gives the unit
    // that was current back.
    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /RK05 /READ pack\nPARTITION B\nVERIFY /ALL\nVERIFY\n"
                          "MOUNT /RX01 /READ floppy\nVERIFY /ALL\nMOUNT /READ dist.tu56\nVERIFY\n");
    EXPECT_EQ(run.err,
              "ORVA>%ORVA-I, mounted virtual disk on file pack.rk5\n"
              "ORVA>ORVA>%ORVA-I, verifying pack.rk5, partition 0\n"
              "%ORVA-I, 6 segments, 203 files, 3008 blocks in files, 184 free: 0 errors, 0 warnings\n"
              "%ORVA-I, verifying pack.rk5, partition 1\n"
              "%ORVA-I, 2 segments, 74 files, 2813 blocks in files, 379 free: 0 errors, 0 warnings\n"
              "ORVA>%ORVA-I, 2 segments, 74 files, 2813 blocks in files, 379 free: 0 errors, 0 warnings\n"
              "ORVA>%ORVA-I, dismounting disk pack.rk5\n"
              "%ORVA-I, mounted virtual disk on file floppy.rx1\n"
              "ORVA>%ORVA-I, 1 segments, 5 files, 229 blocks in files, 258 free: 0 errors, 0 warnings\n"
              "ORVA>%ORVA-I, dismounting disk floppy.rx1\n"
              // The distribution tape's unfinished FORT.PA is its one warning.
              "%ORVA-I, mounted virtual disk on file dist.tu56\n"
              "ORVA>%ORVA-W, file FORT.PA at block 566 is a tentative file left open: OS/8's DIR does not list it\n"
              "%ORVA-I, 1 segments, 15 files, 559 blocks in files, 171 free: 0 errors, 1 warnings\n"
              "ORVA>%ORVA-I, dismounting disk dist.tu56\n");
}

}  // namespace
}  // namespace orvatest
