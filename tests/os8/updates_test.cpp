// Directory updates: tentative files, delete, rename, zero, and the moving of
// entries between segments when a segment is full.
#include <gmock/gmock.h>

#include <algorithm>
#include <random>
#include <set>

#include "os8_testkit.h"

using namespace os8test;

namespace {

// The listing of the directory as text lines, free areas included.
std::vector<std::string> Listing() {
    std::vector<std::string> lines;
    for (const Entry& entry : ListDirectory())
        lines.push_back(ListingLine(entry));
    return lines;
}

std::string FileName(int n) { return "F" + std::to_string(n) + ".DA"; }

// ---- Zero and the worked example ---------------------------------------------------

TEST(Zero, WritesOneFreeAreaForEveryDevice) {
    const struct {
        DiskType type;
        unsigned nBlocks;
        int nPlain;
        int nSystem;
    } devices[] = {
        {DiskType::RX01, 494, 487, 438},   {DiskType::RX50, 766, 759, 710},
        {DiskType::NB03, 1344, 1337, 1288}, {DiskType::HE02, 4096, 4089, 4040},
        {DiskType::RK05, 3248, 3241, 3192},
    };
    for (const auto& device : devices) {
        SCOPED_TRACE(static_cast<int>(device.type));
        TempDisk disk(device.type);
        EXPECT_EQ(UnitBlocks(), device.nBlocks);
        for (bool fSystem : {false, true}) {
            // Old segments 2-6 are cleared.
            for (unsigned nBlock = 2; nBlock <= 6; ++nBlock) {
                BlockWords awJunk;
                awJunk.fill(07777);
                WriteWords(nBlock, awJunk);
            }
            ZeroDirectory(fSystem);
            const int nFree = fSystem ? device.nSystem : device.nPlain;
            BlockWords awExpected{};
            awExpected[0] = 07777;
            awExpected[1] = fSystem ? 070 : 7;
            awExpected[4] = 07777;
            awExpected[6] = static_cast<std::uint16_t>(010000 - nFree);
            EXPECT_EQ(ReadWords(1), awExpected);
            for (unsigned nBlock = 2; nBlock <= 6; ++nBlock)
                EXPECT_EQ(ReadWords(nBlock), BlockWords{}) << nBlock;
            EXPECT_EQ(FreeBlocks(), nFree);
        }
    }
}

TEST(Zero, LeavesBootBlockAndSystemHeadAlone) {
    TempDisk disk(DiskType::RX01);
    BlockWords awMarked;
    awMarked.fill(01234);
    for (unsigned nBlock : {0u, 7u, 55u})
        WriteWords(nBlock, awMarked);
    ZeroDirectory(true);
    for (unsigned nBlock : {0u, 7u, 55u})
        EXPECT_EQ(ReadWords(nBlock), awMarked) << nBlock;
}

TEST(Tentative, HelloExampleWordForWord) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    OS8_CONTEXT context;
    int nBlock = 0;
    int nRoom = 0;
    CreateTentativeFile(&context, "HELLO.TX", 06100, &nBlock, &nRoom);
    EXPECT_EQ(nBlock, 7);
    EXPECT_EQ(nRoom, 487);
    CloseTentativeFile(&context, 10);

    BlockWords awExpected{};
    const std::uint16_t awHead[] = {07776, 00007, 00000, 00000, 07777, 01005, 01414,
                                    01700, 02430, 06100, 07766, 00000, 07043};
    std::copy(std::begin(awHead), std::end(awHead), awExpected.begin());
    EXPECT_EQ(ReadWords(1), awExpected);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"HELLO.TX    10 0007 6100",
                                                   "<empty>    477 0021 0000"}));
}

TEST(Tentative, RefusesNamesWithoutNameCharacters) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    const BlockWords awBefore = ReadWords(1);
    for (const char* pszName : {"", ".TX", "*.*", "-"}) {
        OS8_CONTEXT context;
        int nBlock = 1;
        int nRoom = 1;
        CreateTentativeFile(&context, pszName, 06100, &nBlock, &nRoom);
        EXPECT_EQ(nRoom, 0) << pszName;
        EXPECT_EQ(nBlock, 0) << pszName;
    }
    EXPECT_EQ(ReadWords(1), awBefore);
}

// ---- The edge cases of the updates ----------------------------------------------------

TEST(Tentative, ExactFillLeavesNoEmptyEntry) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("A.DA", 480));
    ASSERT_TRUE(AddFile("B.DA", 7));
    EXPECT_EQ(ReadWords(1)[0], 07776);  // two entries
    EXPECT_EQ(Listing(), (std::vector<std::string>{"A.DA       480 0007 6100",
                                                   "B.DA         7 0747 6100"}));
    // A full disk gives a room of 0 and writes nothing.
    const BlockWords awBefore = ReadWords(1);
    OS8_CONTEXT context;
    int nBlock = 1;
    int nRoom = 1;
    CreateTentativeFile(&context, "C.DA", 06100, &nBlock, &nRoom);
    EXPECT_EQ(nRoom, 0);
    EXPECT_EQ(ReadWords(1), awBefore);
}

TEST(Tentative, ClosingWithZeroLeavesTheSegmentAsItWas) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("A.DA", 3));
    const BlockWords awBefore = ReadWords(1);
    OS8_CONTEXT context;
    int nBlock = 0;
    int nRoom = 0;
    CreateTentativeFile(&context, "B.DA", 06100, &nBlock, &nRoom);
    EXPECT_EQ(nBlock, 10);
    EXPECT_EQ(nRoom, 484);
    EXPECT_EQ(ReadWords(1), awBefore);  // nothing on disk until the close
    CloseTentativeFile(&context, 0);
    EXPECT_EQ(ReadWords(1), awBefore);
}

TEST(Tentative, ExtraInformationWordsOfANewEntryAreZero) {
    TempDisk disk(DiskType::RX01);
    // Three extra words per entry, and junk after the last entry.
    BlockWords awSegment;
    awSegment.fill(05555);
    const std::uint16_t awHead[] = {07777, 7, 0, 0, 07775, 0, 07634};  // 100 free blocks
    std::copy(std::begin(awHead), std::end(awHead), awSegment.begin());
    WriteWords(1, awSegment);
    ASSERT_TRUE(AddFile("X.DA", 5, 016100));  // the date is kept to 12 bits
    const BlockWords awData = ReadWords(1);
    const std::uint16_t awEntries[] = {07776, 7, 0, 0, 07775, 03000, 0, 0, 00401,
                                       06100, 0, 0, 07773, 0, 07641};
    EXPECT_TRUE(std::equal(std::begin(awEntries), std::end(awEntries), awData.begin()));
}

TEST(Tentative, FirstOfTwoEqualLargestAreasIsUsed) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("A.DA", 100));
    ASSERT_TRUE(AddFile("B.DA", 10));
    ASSERT_TRUE(AddFile("C.DA", 100));
    ASSERT_TRUE(AddFile("D.DA", 277));
    ASSERT_TRUE(RemoveFile("A.DA"));
    ASSERT_TRUE(RemoveFile("C.DA"));
    int nBlock = 0;
    ASSERT_TRUE(AddFile("E.DA", 1, 06100, &nBlock));
    EXPECT_EQ(nBlock, 7);
}

TEST(Delete, MergesWithFreeNeighboursInItsSegment) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    const BlockWords awZeroed = ReadWords(1);
    for (const char* pszName : {"A.DA", "B.DA", "C.DA", "D.DA"})
        ASSERT_TRUE(AddFile(pszName, 10));

    // No free neighbour: the file becomes a free area in place.
    ASSERT_TRUE(RemoveFile("B.DA"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{
                             "A.DA        10 0007 6100", "<empty>     10 0021 0000",
                             "C.DA        10 0033 6100", "D.DA        10 0045 6100",
                             "<empty>    447 0057 0000"}));
    // A free area after it.
    ASSERT_TRUE(RemoveFile("A.DA"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{
                             "<empty>     20 0007 0000", "C.DA        10 0033 6100",
                             "D.DA        10 0045 6100", "<empty>    447 0057 0000"}));
    // A free area before it.
    ASSERT_TRUE(RemoveFile("C.DA"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"<empty>     30 0007 0000",
                                                   "D.DA        10 0045 6100",
                                                   "<empty>    447 0057 0000"}));
    // Free areas on both sides: the count drops by two, and the directory is
    // as it was after zeroing.
    EXPECT_EQ(ReadWords(1)[0], 07775);
    ASSERT_TRUE(RemoveFile("D.DA"));
    EXPECT_EQ(ReadWords(1), awZeroed);
}

TEST(Delete, ScanGoesOnWithTheFollowingEntry) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    for (const char* pszName : {"A.DA", "B.TX", "C.DA", "D.DA", "E.TX", "F.DA"})
        ASSERT_TRUE(AddFile(pszName, 5));
    ASSERT_TRUE(RemoveFile("B.TX"));
    // Deleting every *.DA file merges both ways; the scan still reports the
    // right start blocks as it goes on.
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0;
    std::vector<std::string> seen;
    while (FindFile(&context, "*.DA", name, &nBlock, nullptr, nullptr, nullptr)) {
        seen.push_back(name + " " + std::to_string(nBlock));
        DeleteEntry(&context);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"A.DA 7", "C.DA 17", "D.DA 22", "F.DA 32"}));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"<empty>     20 0007 0000",
                                                   "E.TX         5 0033 6100",
                                                   "<empty>    462 0040 0000"}));
}

// Two segments by hand: segment 1 ends in a free area, segment 2 begins with
// a file.
TEST(Delete, FirstEntryOfASegmentNeverMergesBackwards) {
    TempDisk disk(DiskType::RX01);
    BlockWords awSegment1{};
    const std::uint16_t aw1[] = {07776, 7, 2, 0, 07777, 00100, 0, 0, 0, 0, 07766, 0, 07766};
    std::copy(std::begin(aw1), std::end(aw1), awSegment1.begin());
    BlockWords awSegment2{};
    const std::uint16_t aw2[] = {07776, 27, 0, 0, 07777, 00200, 0, 0, 0, 0, 07766, 0, 07000};
    std::copy(std::begin(aw2), std::end(aw2), awSegment2.begin());
    WriteWords(1, awSegment1);
    WriteWords(2, awSegment2);
    ASSERT_TRUE(RemoveFile("B."));
    EXPECT_EQ(ReadWords(1), awSegment1);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"A.          10 0007 0000",
                                                   "<empty>     10 0021 0000",
                                                   "<empty>    522 0033 0000"}));
}

TEST(Rename, KeepsDateAndLength) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("OLD.TX", 12, 01740));
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    ASSERT_TRUE(FindFile(&context, "OLD.TX", name, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(RenameEntry(&context, ".XX"));  // refused: no name characters
    EXPECT_EQ(Listing()[0], "OLD.TX      12 0007 1740");
    EXPECT_TRUE(RenameEntry(&context, "newname.bak"));
    EXPECT_EQ(Listing()[0], "NEWNAM.BA   12 0007 1740");
}

TEST(LargestFreeAfterDelete, JoinsTheFileWithItsFreeNeighbours) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("A.DA", 100));
    ASSERT_TRUE(AddFile("B.DA", 10));
    ASSERT_TRUE(AddFile("C.DA", 5));
    ASSERT_TRUE(AddFile("D.DA", 372));  // no blocks left
    ASSERT_TRUE(RemoveFile("A.DA"));
    const struct {
        const char* pszName;
        int nLargest;
    } cases[] = {
        {"B.DA", 110},  // joined with the free area before it
        {"C.DA", 100},  // alone: the largest free area now is larger
        {"D.DA", 372},
    };
    for (const auto& c : cases) {
        OS8_CONTEXT context;
        InitContext(&context);
        std::string name;
        ASSERT_TRUE(FindFile(&context, c.pszName, name, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(LargestFreeAfterDelete(&context), c.nLargest) << c.pszName;
    }
}

// ---- Many files ---------------------------------------------------------------------

TEST(ManyFiles, RX01FillsSixSegmentsThenHasNoRoom) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    int nFiles = 0;
    for (;;) {
        OS8_CONTEXT context;
        int nBlock = 0;
        int nRoom = 0;
        CreateTentativeFile(&context, FileName(nFiles), 06100, &nBlock, &nRoom);
        if (nRoom == 0)
            break;
        ASSERT_EQ(nBlock, 7 + nFiles);
        CloseTentativeFile(&context, 1);
        ++nFiles;
        ASSERT_NO_THROW(ListDirectory());
        ASSERT_LT(nFiles, 300);
    }
    EXPECT_EQ(nFiles, 246);  // 41 six-word entries in each of six segments

    const std::vector<Entry> entries = ListDirectory();
    ASSERT_EQ(entries.size(), 247u);
    std::set<unsigned> segments;
    for (int n = 0; n < nFiles; ++n) {
        EXPECT_EQ(entries[n].name, FileName(n));
        EXPECT_EQ(entries[n].nBlock, 7 + n);
        EXPECT_EQ(entries[n].nLength, 1);
        segments.insert(entries[n].nSegment);
    }
    EXPECT_EQ(entries.back().name, "");
    EXPECT_EQ(entries.back().nLength, 487 - 246);
    EXPECT_EQ(segments, (std::set<unsigned>{1, 2, 3, 4, 5, 6}));
    // The segments are chained in block order, each starting at the first
    // block of its first entry.
    for (unsigned nSegment = 1; nSegment <= 6; ++nSegment) {
        const BlockWords awData = ReadWords(nSegment);
        EXPECT_EQ(awData[2], nSegment < 6 ? nSegment + 1 : 0) << nSegment;
        EXPECT_EQ(awData[1], 7 + 41 * (nSegment - 1)) << nSegment;
        EXPECT_EQ(awData[3], 0) << nSegment;
        EXPECT_EQ(awData[4], 07777) << nSegment;
    }
}

TEST(ManyFiles, RK05DeletesInShuffledOrderGiveBackEveryBlock) {
    TempDisk disk(DiskType::RK05);
    ZeroDirectory(false);
    std::mt19937 random(4711);
    std::vector<int> order;
    for (int n = 0; n < 200; ++n) {
        ASSERT_TRUE(AddFile(FileName(n), 1 + static_cast<int>(random() % 5))) << n;
        order.push_back(n);
    }
    ASSERT_NO_THROW(ListDirectory());
    std::shuffle(order.begin(), order.end(), random);
    for (int n : order) {
        ASSERT_TRUE(RemoveFile(FileName(n))) << n;
        ASSERT_NO_THROW(ListDirectory());
    }
    for (const Entry& entry : ListDirectory())
        EXPECT_EQ(entry.name, "");
    EXPECT_EQ(FreeBlocks(), 3241);
}

// ---- Full segments ----------------------------------------------------------------------

// The entries of the directory as listing lines, free areas included
// unless only files are wanted.
std::multiset<std::string> Entries(bool fFilesOnly) {
    std::multiset<std::string> lines;
    for (const Entry& entry : ListDirectory())
        if (!fFilesOnly || !entry.name.empty())
            lines.insert(ListingLine(entry));
    return lines;
}

std::multiset<std::string> FileEntries() { return Entries(true); }

// Segment 1 full (41 entries) with the largest free area in it, segment 2
// holding the rest.
void MakeFullFirstSegment() {
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("BIG.DA", 2000));
    for (int n = 1; n <= 44; ++n)
        ASSERT_TRUE(AddFile(FileName(n), 1));
    ASSERT_TRUE(RemoveFile("BIG.DA"));
    ASSERT_TRUE(AddFile("X.DA", 10));  // takes the last room of segment 1
    ASSERT_EQ(ReadWords(1)[0], static_cast<std::uint16_t>(010000 - 42));
}

TEST(FullSegment, LastEntryMovesToTheNextSegment) {
    TempDisk disk(DiskType::RK05);
    MakeFullFirstSegment();
    std::vector<std::string> before = Listing();
    int nBlock = 0;
    ASSERT_TRUE(AddFile("Y.DA", 5, 06100, &nBlock));
    EXPECT_EQ(nBlock, 17);  // in the free area of segment 1

    // The listing is the old one with Y.DA before the free area it came from.
    before[1] = "<empty>   1985 0026 0000";
    before.insert(before.begin() + 1, "Y.DA         5 0021 6100");
    EXPECT_EQ(Listing(), before);
    // F40.DA went to the front of segment 2, which now starts at its block.
    const std::vector<Entry> entries = ListDirectory();
    const auto moved = std::find_if(entries.begin(), entries.end(),
                                    [](const Entry& entry) { return entry.name == "F40.DA"; });
    ASSERT_NE(moved, entries.end());
    EXPECT_EQ(moved->nSegment, 2u);
    EXPECT_EQ(ReadWords(2)[1], moved->nBlock);
    EXPECT_EQ(std::prev(moved)->nSegment, 1u);
}

// Replacing a file: the new version is closed and the old one deleted in
// one segment write when both lie in the same segment; otherwise the old one
// is left for the caller.
TEST(Replace, ClosesTheNewAndDeletesTheOldInOneWrite) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    ASSERT_TRUE(AddFile("A.DA", 3));
    ASSERT_TRUE(AddFile("B.DA", 2));
    OS8_CONTEXT context;
    int nBlock = 0;
    int nRoom = 0;
    CreateTentativeFile(&context, "A.DA", 06200, &nBlock, &nRoom);
    ASSERT_EQ(nBlock, 12);
    const unsigned long nBefore = GetBlockTransferCount();
    EXPECT_TRUE(CloseTentativeReplacing(&context, 4, 7));
    EXPECT_EQ(GetBlockTransferCount() - nBefore, 1u);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"<empty>      3 0007 0000", "B.DA         2 0012 6100",
                                                   "A.DA         4 0014 6200", "<empty>    478 0020 0000"}));
}

TEST(Replace, LeavesAnOldVersionInAnotherSegment) {
    TempDisk disk(DiskType::RK05);
    MakeFullFirstSegment();
    const std::vector<Entry> entries = ListDirectory();
    const auto old = std::find_if(entries.begin(), entries.end(),
                                  [](const Entry& entry) { return entry.name == "F40.DA"; });
    ASSERT_NE(old, entries.end());
    // The new entry pushes F40.DA into segment 2.
    OS8_CONTEXT context;
    int nBlock = 0;
    int nRoom = 0;
    CreateTentativeFile(&context, "F40.DA", 06200, &nBlock, &nRoom);
    ASSERT_GT(nRoom, 5);
    EXPECT_FALSE(CloseTentativeReplacing(&context, 5, old->nBlock));
    int nCopies = 0;
    for (const Entry& entry : ListDirectory())
        nCopies += entry.name == "F40.DA";
    EXPECT_EQ(nCopies, 2);
}

TEST(FullSegment, SegmentsFillUpInTurn) {
    // With every file written into the free area at the front, entries are
    // pushed along the whole chain, and new segments opened, until six
    // segments are full.
    TempDisk disk(DiskType::RK05);
    MakeFullFirstSegment();
    int nFiles = 0;
    for (;;) {
        const std::vector<std::string> before = Listing();
        OS8_CONTEXT context;
        int nBlock = 0;
        int nRoom = 0;
        CreateTentativeFile(&context, "N" + std::to_string(nFiles) + ".DA", 06100, &nBlock, &nRoom);
        if (nRoom == 0) {
            EXPECT_EQ(Listing(), before);
            break;
        }
        CloseTentativeFile(&context, 1);
        ++nFiles;
        ASSERT_NO_THROW(ListDirectory());
        ASSERT_LT(nFiles, 300);
    }
    // Six segments of at least 41 entries: 246 files in all.
    EXPECT_EQ(FileEntries().size(), 246u);
    for (unsigned nSegment = 1; nSegment <= 6; ++nSegment) {
        const BlockWords awData = ReadWords(nSegment);
        EXPECT_LE(awData[0], static_cast<std::uint16_t>(010000 - 41)) << nSegment;
    }
}

TEST(FullSegment, EntriesMoveBackWhenSixSegmentsCannotTakeThemForward) {
    TempDisk disk(DiskType::RX01);
    ZeroDirectory(false);
    for (int n = 0; n < 246; ++n)
        ASSERT_TRUE(AddFile(FileName(n), 1));
    // Make room in segment 3 only; the free area at the end is in segment 6,
    // which is full.
    ASSERT_TRUE(RemoveFile(FileName(100)));
    std::vector<std::string> before = Listing();
    int nBlock = 0;
    ASSERT_TRUE(AddFile("NEW.DA", 1, 06100, &nBlock));
    EXPECT_EQ(nBlock, 7 + 246);
    before.back() = "<empty>    240 0376 0000";
    before.insert(before.end() - 1, "NEW.DA       1 0375 6100");
    EXPECT_EQ(Listing(), before);
    for (unsigned nSegment = 1; nSegment <= 6; ++nSegment) {
        const BlockWords awData = ReadWords(nSegment);
        EXPECT_EQ(awData[2], nSegment < 6 ? nSegment + 1 : 0) << nSegment;
    }
}

// A device fault at any block transfer of a write into a full segment
// leaves every entry in the directory, free areas included; an entry on its
// way between segments may show twice.
void CheckFaultsLoseNoEntry(DiskType type, void (*pfnSetUp)(), const char* pszName) {
    TempDisk disk(type);
    pfnSetUp();
    const std::multiset<std::string> entries = Entries(false);
    const fs::path saved = disk.dir() / "saved.img";
    CloseDisk();
    fs::copy_file(disk.path(), saved);
    for (unsigned long nFault = 1;; ++nFault) {
        ASSERT_LT(nFault, 100u);
        testfiles::WriteFile(disk.path(), testfiles::ReadFile(saved));
        ASSERT_TRUE(OpenDisk(true, false, type, disk.path().string()));
        SetBlockTransferFault(nFault);
        bool fAborted = false;
        CaptureMessages([&] { AddFile(pszName, 1); }, &fAborted);
        SetBlockTransferFault(0);
        std::multiset<std::string> after;
        ASSERT_NO_THROW(after = Entries(!fAborted)) << nFault;
        for (const std::string& entry : entries) {
            if (fAborted || entry.find("<empty>") == std::string::npos) {
                EXPECT_GE(after.count(entry), 1u) << "fault at transfer " << nFault << ": " << entry;
            }
        }
        CloseDisk();
        if (!fAborted)
            break;
    }
    ASSERT_TRUE(OpenDisk(true, false, type, disk.path().string()));
}

TEST(FullSegment, DeviceFaultsNeverLoseAnEntry) {
    // Pushing along an existing chain.
    CheckFaultsLoseNoEntry(DiskType::RK05, [] { MakeFullFirstSegment(); }, "Y.DA");
    // Opening a new segment.
    CheckFaultsLoseNoEntry(
        DiskType::RX01,
        [] {
            ZeroDirectory(false);
            for (int n = 0; n < 41; ++n)
                ASSERT_TRUE(AddFile(FileName(n), 1));
        },
        "NEW.DA");
    // Moving entries back.
    CheckFaultsLoseNoEntry(
        DiskType::RX01,
        [] {
            ZeroDirectory(false);
            for (int n = 0; n < 246; ++n)
                ASSERT_TRUE(AddFile(FileName(n), 1));
            ASSERT_TRUE(RemoveFile(FileName(100)));
        },
        "NEW.DA");
}

}  // namespace

// ---- Random directories ---------------------------------------------------------------

// Random segments, mostly well formed and sometimes not: the scan either
// accepts them or reports damage, never reads outside a segment or loops,
// and an update of an accepted directory leaves one the scan accepts.
TEST(RandomDirectories, NeverCrashOrLoop) {
    TempDisk disk(DiskType::RK05);
    std::mt19937 random(2024);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    int nAccepted = 0;
    for (int nRound = 0; nRound < 300; ++nRound) {
        for (unsigned nSegment = 1; nSegment <= 6; ++nSegment) {
            BlockWords awData{};
            const unsigned nEntries = pick(8) == 0 ? pick(4096) : pick(45);
            const unsigned nAIW = pick(10) == 0 ? pick(4096) : pick(3);
            awData[0] = static_cast<std::uint16_t>((010000 - nEntries) & 07777);
            awData[1] = static_cast<std::uint16_t>(pick(10) == 0 ? pick(4096) : 7 + pick(100));
            awData[2] = static_cast<std::uint16_t>(pick(3) == 0 ? 0 : pick(10) == 0 ? pick(4096) : pick(8));
            awData[3] = static_cast<std::uint16_t>(pick(5) == 0 ? 01400 + pick(300) : 0);
            awData[4] = static_cast<std::uint16_t>((010000 - nAIW) & 07777);
            for (unsigned i = 5; i < 256;) {
                if (pick(3) == 0) {
                    awData[i++] = 0;
                    if (i < 256)
                        awData[i++] = static_cast<std::uint16_t>(07777 - pick(40));
                } else {
                    awData[i++] = static_cast<std::uint16_t>(1 + pick(07777));
                    for (unsigned k = 0; k < 3 + nAIW && i < 256; ++k)
                        awData[i++] = static_cast<std::uint16_t>(pick(4096));
                    if (i < 256)
                        awData[i++] = static_cast<std::uint16_t>(pick(2) == 0 ? 0 : 07777 - pick(40));
                }
            }
            WriteWords(nSegment, awData);
        }
        bool fAborted = false;
        CaptureMessages([] { ListDirectory(); }, &fAborted);
        if (fAborted)
            continue;
        ++nAccepted;
        CaptureMessages(
            [&] {
                OS8_CONTEXT context;
                int nBlock = 0;
                int nRoom = 0;
                CreateTentativeFile(&context, "NEW.DA", 06100, &nBlock, &nRoom);
                if (nRoom > 0)
                    CloseTentativeFile(&context, 1);
                RemoveFile("*.*");
            },
            &fAborted);
        EXPECT_FALSE(fAborted) << nRound;
        CaptureMessages([] { ListDirectory(); }, &fAborted);
        EXPECT_FALSE(fAborted) << nRound;
    }
    EXPECT_GT(nAccepted, 20);
}
