// The directory scan: real OS/8 media, hand-made segments and damaged ones.
#include <gmock/gmock.h>

#include "os8_testkit.h"

using namespace os8test;
using testing::HasSubstr;

namespace {

// ---- Real media ------------------------------------------------------------------

struct FixtureListing {
    const char* pszImage;
    DiskType type;
    std::uint32_t nUnit;
    const char* pszListing;
};

TEST(ScanFixtures, NextEntryReproducesTheListings) {
    const FixtureListing listings[] = {
        {"os8-v3d.rk05", DiskType::RK05, 0, "os8-v3d.unit0.lst"},
        {"os8-v3d.rk05", DiskType::RK05, 1, "os8-v3d.unit1.lst"},
        {"os8-made.rx01", DiskType::RX01, 0, "os8-made.rx01.lst"},
    };
    for (const FixtureListing& listing : listings) {
        if (!HaveFixture(listing.pszImage) || !HaveFixture(listing.pszListing)) {
            LEAVE_WITHOUT_FIXTURE(listing.pszListing);
        }
        SCOPED_TRACE(listing.pszListing);
        ASSERT_TRUE(OpenDisk(true, true, listing.type, (FixturesDir() / listing.pszImage).string()));
        if (listing.nUnit != 0) {
            ASSERT_TRUE(SelectPartition(listing.nUnit));
        }
        std::vector<std::string> lines;
        for (const Entry& entry : ListDirectory())
            lines.push_back(ListingLine(entry));
        CloseDisk();
        EXPECT_EQ(lines, SplitLines(ReadText(FixturesDir() / listing.pszListing)));
    }
}

TEST(ScanFixtures, UnitZeroIsASystemDiskWithSixSegments) {
    if (!HaveFixture("os8-v3d.rk05")) {
        LEAVE_WITHOUT_FIXTURE("os8-v3d.rk05");
    }
    FixtureDisk disk("os8-v3d.rk05", DiskType::RK05);
    EXPECT_TRUE(IsSystemDisk());
    unsigned fSegments = 0;
    for (const Entry& entry : ListDirectory())
        fSegments |= 1u << entry.nSegment;
    EXPECT_EQ(fSegments, 0176u);  // blocks 1-6
    ASSERT_TRUE(SelectPartition(1));

    // The first file of unit 1 is found by pattern, and its exact stored
    // name too.
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0;
    int nLength = 0;
    ASSERT_TRUE(FindFile(&context, "*.MU", name, &nBlock, &nLength, nullptr, nullptr));
    EXPECT_EQ(name, "BABYEL.MU");
    EXPECT_EQ(nBlock, 070);
    EXPECT_EQ(nLength, 11);
    EXPECT_TRUE(FileExists("music?.mu"));
    EXPECT_TRUE(StoredNameExists("scale.mu"));
    EXPECT_FALSE(StoredNameExists("SCALE"));
    EXPECT_FALSE(StoredNameExists("*.MU"));
}

// ---- Hand-made segments ------------------------------------------------------------

// A segment with the given header words and entries.
BlockWords Segment(unsigned nEntries, unsigned nFirst, unsigned nLink, unsigned nAIW,
                   std::initializer_list<std::uint16_t> entries, unsigned wTentative = 0) {
    BlockWords awData{};
    awData[0] = static_cast<std::uint16_t>((010000 - nEntries) & 07777);
    awData[1] = static_cast<std::uint16_t>(nFirst);
    awData[2] = static_cast<std::uint16_t>(nLink);
    awData[3] = static_cast<std::uint16_t>(wTentative);
    awData[4] = static_cast<std::uint16_t>((010000 - nAIW) & 07777);
    unsigned i = 5;
    for (std::uint16_t w : entries)
        awData[i++] = w;
    return awData;
}

TEST(Scan, FreshDirectoryHasOneFreeArea) {
    for (bool fSystem : {false, true}) {
        TempDisk disk(DiskType::RX01);
        ZeroDirectory(fSystem);
        OS8_CONTEXT context;
        InitContext(&context);
        std::string name;
        EXPECT_FALSE(FindFile(&context, "*.*", name, nullptr, nullptr, nullptr, nullptr));

        InitContext(&context);
        int nBlock = 0;
        int nLength = 0;
        std::uint16_t wDate = 1;
        bool fTentative = true;
        ASSERT_TRUE(NextEntry(&context, &name, &nBlock, &nLength, &wDate, &fTentative));
        EXPECT_EQ(name, "");
        EXPECT_EQ(nBlock, fSystem ? 56 : 7);
        EXPECT_EQ(nLength, fSystem ? 438 : 487);
        EXPECT_EQ(wDate, 0);
        EXPECT_FALSE(fTentative);
        EXPECT_FALSE(NextEntry(&context, nullptr, nullptr, nullptr, nullptr, nullptr));
        // An exhausted scan stays exhausted.
        EXPECT_FALSE(NextEntry(&context, nullptr, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(IsSystemDisk(), fSystem);
    }
}

TEST(Scan, ReportsEntriesAcrossSegments) {
    TempDisk disk(DiskType::RK05);
    // Segment 1 (no extra words): LIST (no extension), a free area, a
    // tentative FOO.PA and what follows it. Segment 3 starts at its own word
    // 1, not at the running total of segment 1, and is linked to an empty
    // segment 2 that is passed over.
    WriteWords(1, Segment(4, 8, 3, 0,
                          {01411, 02324, 0, 0, 07775,   // LIST. 3 blocks at 8
                           0, 07776,                    // free 2 at 11
                           00617, 01700, 0, 02001, 0,   // FOO.PA tentative at 13
                           02011, 02000, 0, 02326, 07777},  // PIP.SV 1 at 13
                          01400 + 12 + 4));
    WriteWords(3, Segment(1, 100, 2, 1, {02324, 0, 0, 0, 06100, 07766}));  // ST. 10 at 100
    WriteWords(2, Segment(0, 0, 0, 1, {}));

    const std::vector<Entry> entries = ListDirectory();
    ASSERT_EQ(entries.size(), 5u);
    const struct {
        const char* pszName;
        int nBlock;
        int nLength;
        std::uint16_t wDate;
        bool fTentative;
        unsigned nSegment;
    } expected[] = {
        {"LIST.", 8, 3, 0, false, 1},   {"", 11, 2, 0, false, 1},
        {"FOO.PA", 13, 0, 0, true, 1},  {"PIP.SV", 13, 1, 0, false, 1},
        {"ST.", 100, 10, 06100, false, 3},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].name, expected[i].pszName);
        EXPECT_EQ(entries[i].nBlock, expected[i].nBlock);
        EXPECT_EQ(entries[i].nLength, expected[i].nLength);
        EXPECT_EQ(entries[i].wDate, expected[i].wDate);
        EXPECT_EQ(entries[i].fTentative, expected[i].fTentative);
        EXPECT_EQ(entries[i].nSegment, expected[i].nSegment);
    }

    // FindFile passes over free areas whatever the pattern.
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    std::vector<std::string> found;
    while (FindFile(&context, "", name, nullptr, nullptr, nullptr, nullptr))
        found.push_back(name);
    EXPECT_EQ(found, (std::vector<std::string>{"LIST.", "FOO.PA", "PIP.SV", "ST."}));

    // The exact-name lookup tells LIST. from LIST.SV.
    InitContext(&context);
    int nBlock = 0;
    EXPECT_TRUE(FindStoredName(&context, "list", name, &nBlock, nullptr));
    EXPECT_EQ(name, "LIST.");
    EXPECT_FALSE(StoredNameExists("LIST.SV"));
    EXPECT_TRUE(FileExists("LIST.SV"));  // a pattern: the name runs out first
    EXPECT_TRUE(IsSystemDisk());  // word 1 is 8: anything above 7 counts
}

TEST(Scan, IsSystemDiskLooksAtTheFirstFileBlock) {
    TempDisk disk(DiskType::RX50);
    for (unsigned nFirst : {7u, 8u, 56u}) {
        WriteWords(1, Segment(1, nFirst, 0, 1, {0, 07000}));
        EXPECT_EQ(IsSystemDisk(), nFirst > 7) << nFirst;
    }
}

// ---- Damaged directories -------------------------------------------------------------

struct DamageCase {
    const char* pszLabel;
    BlockWords awSegment1;
    BlockWords awSegment2;
    unsigned nDamaged;
};

// 42 file entries of 6 words: one word more than a segment holds.
BlockWords OverfullSegment() {
    BlockWords awData = Segment(42, 7, 0, 1, {});
    for (unsigned i = 5; i < 256; i += 6) {
        awData[i] = 01;
        if (i + 5 < 256)
            awData[i + 5] = 07777;
    }
    return awData;
}

TEST(Scan, DamagedSegmentsEndTheCommand) {
    const BlockWords awGood2 = Segment(1, 17, 1, 1, {0, 07000});
    const DamageCase cases[] = {
        {"entry count past the segment end", Segment(200, 7, 0, 1, {0, 07000}), {}, 1},
        {"file entries past the segment end", OverfullSegment(), {}, 1},
        {"huge nAIW", Segment(1, 7, 0, 4095, {01, 0, 0, 0, 0, 07777}), {}, 1},
        {"huge nAIW without a file entry", Segment(1, 7, 0, 300, {0, 07000}), {}, 1},
        {"link loop 1 to 2 to 1", Segment(1, 7, 2, 1, {01, 0, 0, 0, 0, 07766}), awGood2, 2},
        {"link to itself", Segment(1, 7, 1, 1, {0, 07000}), {}, 1},
        {"link to block 9", Segment(1, 7, 9, 1, {0, 07000}), {}, 1},
        {"link to block 4095", Segment(1, 7, 07777, 1, {0, 07000}), {}, 1},
        {"tentative word too small", Segment(1, 7, 0, 1, {0, 07000}, 01400 + 4 + 1), {}, 1},
        {"tentative word below 1400", Segment(1, 7, 0, 1, {0, 07000}, 5), {}, 1},
        {"tentative word past the segment", Segment(1, 7, 0, 1, {0, 07000}, 01400 + 256), {}, 1},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.pszLabel);
        TempDisk disk(DiskType::RX01);
        WriteWords(1, c.awSegment1);
        WriteWords(2, c.awSegment2);
        const std::string expected = "-E, directory segment " + std::to_string(c.nDamaged) + " is damaged\n";

        bool fAborted = false;
        EXPECT_THAT(CaptureMessages([] { ListDirectory(); }, &fAborted), HasSubstr(expected));
        EXPECT_TRUE(fAborted);

        // The lookups and updates stop the same way and write nothing.
        const BlockWords awBefore = ReadWords(1);
        EXPECT_THAT(CaptureMessages([] { FileExists("X.Y"); }, &fAborted), HasSubstr(expected));
        EXPECT_TRUE(fAborted);
        EXPECT_THAT(CaptureMessages(
                        [] {
                            OS8_CONTEXT context;
                            int nBlock = 0;
                            int nLength = 0;
                            CreateTentativeFile(&context, "NEW.TX", 0, &nBlock, &nLength);
                        },
                        &fAborted),
                    HasSubstr(expected));
        EXPECT_TRUE(fAborted);
        EXPECT_EQ(ReadWords(1), awBefore);
    }
}

TEST(Scan, ATentativeWordInsideTheSegmentIsAccepted) {
    TempDisk disk(DiskType::RX01);
    // The largest value: a length word at index 255.
    WriteWords(1, Segment(1, 7, 0, 1, {0, 07000}, 01400 + 255));
    EXPECT_EQ(ListDirectory().size(), 1u);
    // The smallest: the entry at index 5.
    WriteWords(1, Segment(2, 7, 0, 1, {01, 0, 0, 0, 0, 0, 0, 07000}, 01400 + 5 + 4 + 1));
    const std::vector<Entry> entries = ListDirectory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].fTentative);
    EXPECT_FALSE(entries[1].fTentative);
}

}  // namespace
