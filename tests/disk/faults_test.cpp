// Device faults and damaged or short media: each is reported and abandons
// only the command that asked for the block; nothing is mounted half-way.
#include <algorithm>
#include <csignal>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "disk_testkit.h"

namespace disktest {
namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

using FaultTest = DiskTest;

bool IsZero(const BlockWords& words) {
    return std::all_of(words.begin(), words.end(), [](std::uint16_t w) { return w == 0; });
}

// Runs a block transfer that must be refused: it throws CommandAbort after
// printing exactly `message`.
template <typename Transfer>
void ExpectAbort(Transfer transfer, const std::string& message) {
    CaptureStderr();
    bool fAborted = false;
    try {
        transfer();
    } catch (const CommandAbort&) {
        fAborted = true;
    }
    EXPECT_EQ(GetCapturedStderr(), message);
    EXPECT_TRUE(fAborted);
}

// A block number from a damaged directory is refused before the image file
// is touched, in both directions.
TEST_F(FaultTest, BlockOutsideTheDeviceIsRefusedBeforeAnyAccess) {
    struct RangeRow {
        DiskType type;
        std::uint32_t nUnit;
        unsigned nBlock;
    };
    const RangeRow rows[] = {
        {DiskType::RX01, 0, 494},  {DiskType::RX50, 0, 770},  {DiskType::NB03, 0, 1344},
        {DiskType::HE02, 0, 4096}, {DiskType::RK05, 0, 3248}, {DiskType::RK05, 1, 3248},
        {DiskType::TU56, 0, 737},  {DiskType::RX02, 0, 988},  {DiskType::RX01, 0, 0xFFFFFFFFu},
    };
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(row.nBlock);
        fs::path image = dir_ / "short.img";
        fs::remove(image);
        WriteFileBytes(image, Bytes(1000, 0x55));  // short: an access would show
        ASSERT_TRUE(OpenDisk(true, false, row.type, image.string()));
        if (row.nUnit != 0) {
            ASSERT_TRUE(SelectPartition(row.nUnit));
        }
        std::string message =
            "%ORVA-E, block " + std::to_string(row.nBlock) + " is outside disk " + image.string() + "\n";
        BlockWords words{};
        ExpectAbort([&] { ReadBlock(row.nBlock, words.data()); }, message);
        ExpectAbort([&] { WriteBlock(row.nBlock, words.data()); }, message);
        EXPECT_TRUE(IsDiskMounted());  // the disk stays mounted for the next command
        CloseDisk();
        EXPECT_EQ(ReadFileBytes(image), Bytes(1000, 0x55));
    }
}

#ifndef _WIN32  // a POSIX drive; tests/drive has the Windows one
// A drive's last partition can be cut short by the end of the drive: a drive
// of 4,095 sectors has no whole partition, and its block 4095 does not exist.
TEST_F(FaultTest, BlockPastTheEndOfADriveIsRefused) {
    fs::path drive = dir_ / "small.img";
    MakeZeroFile(drive, 4095 * 512);
    CaptureStderr();
    ASSERT_TRUE(OpenDisk(false, false, DiskType::HE02, drive.string()));
    GetCapturedStderr();
    BlockWords words = {};
    words[0] = 07;
    WriteBlock(4094, words.data());
    ExpectAbort([&] { WriteBlock(4095, words.data()); },
                "%ORVA-E, block 4095 is outside disk " + drive.string() + "\n");
    CloseDisk();
    EXPECT_EQ(fs::file_size(drive), 4095u * 512);
}
#endif

// The test seam fails the n-th transfer from now, reported like a real
// fault; the disk stays mounted and the next transfer works.
TEST_F(FaultTest, InjectedFaultReportsAndEndsOnlyTheCommand) {
    for (DiskType type : {DiskType::RX01, DiskType::RX50, DiskType::NB03,
                          DiskType::HE02, DiskType::RK05, DiskType::TU56, DiskType::RX02}) {
        SCOPED_TRACE(static_cast<int>(type));
        fs::path image = dir_ / ("fault" + std::to_string(static_cast<int>(type)));
        ASSERT_TRUE(CreateDisk(true, type, image.string()));
        Words pattern = PatternWords(3);
        WriteBlock(3, pattern.data());
        Bytes before = ReadFileBytes(image);

        unsigned long nCount = GetBlockTransferCount();
        SetBlockTransferFault(2);
        BlockWords words{};
        ReadBlock(3, words.data());  // the first goes through
        ExpectAbort([&] { ReadBlock(3, words.data()); },
                    "%ORVA-E, unable to read block 3 of " + image.string() +
                        ": Input/output error\n");
        EXPECT_EQ(GetBlockTransferCount(), nCount + 2);

        SetBlockTransferFault(1);
        Words other = PatternWords(4);
        ExpectAbort([&] { WriteBlock(3, other.data()); },
                    "%ORVA-E, unable to write block 3 of " + image.string() +
                        ": Input/output error\n");
        EXPECT_EQ(ReadFileBytes(image), before);  // nothing was written

        EXPECT_TRUE(IsDiskMounted());
        words.fill(0);
        ReadBlock(3, words.data());
        EXPECT_TRUE(std::equal(words.begin(), words.end(), pattern.begin()));
        CloseDisk();
    }
}

TEST_F(FaultTest, FaultSeamOffStopsAPendingFault) {
    ASSERT_TRUE(CreateDisk(true, DiskType::RX50, (dir_ / "x.rx5").string()));
    SetBlockTransferFault(1);
    SetBlockTransferFault(0);
    BlockWords words{};
    EXPECT_NO_THROW(ReadBlock(0, words.data()));
}

// Real refusals by the system: reading an "image" that is a directory, and
// writing to a device that is always full.
TEST_F(FaultTest, SystemErrorsAreReportedWithTheirText) {
    BlockWords words{};
#ifdef _WIN32
    // Windows opens no directory as a file: the mount itself fails.
    EXPECT_FALSE(OpenDisk(true, true, DiskType::RX01, dir_.path().string()));
#else
    ASSERT_TRUE(OpenDisk(true, true, DiskType::RX01, dir_.path().string()));
    ExpectAbort([&] { ReadBlock(0, words.data()); },
                "%ORVA-E, unable to read block 0 of " + dir_.path().string() +
                    ": Is a directory\n");
#endif

    const fs::path full = testfiles::kFullDevice;
    if (!testfiles::HaveFullDevice())
        GTEST_SKIP() << "no always-full device on this host";
    ASSERT_TRUE(OpenDisk(true, false, DiskType::RX50, full.string()));
    ExpectAbort([&] { WriteBlock(7, words.data()); },
                "%ORVA-E, unable to write block 7 of " + full.string() + ": No space left on device\n");
}

// Images written only as far as their last sector read as zeros beyond their
// end, also inside a sector; a write beyond the end extends the file.
TEST_F(FaultTest, ShortImageReadsZerosAndGrowsOnWrite) {
    fs::path image = dir_ / "short.rx5";
    Words pattern = PatternWords(0);
    MakeZeroFile(image, 5120);
    PatchFile(image, 5120, EncodeLE(pattern.data(), 256));
    fs::resize_file(image, 5120 + 100);  // block 0 is cut after 50 words

    ASSERT_TRUE(OpenDisk(true, false, DiskType::RX50, image.string()));
    BlockWords words;
    words.fill(0xFFFF);
    ReadBlock(0, words.data());
    EXPECT_TRUE(std::equal(words.begin(), words.begin() + 50, pattern.begin()));
    EXPECT_TRUE(std::all_of(words.begin() + 50, words.end(), [](std::uint16_t w) { return w == 0; }));
    words.fill(0xFFFF);
    ReadBlock(769, words.data());
    EXPECT_TRUE(IsZero(words));
    EXPECT_EQ(fs::file_size(image), 5220u);  // reading changes nothing

    WriteBlock(769, pattern.data());
    EXPECT_EQ(fs::file_size(image), 398336u + 512);
    words.fill(0);
    ReadBlock(769, words.data());
    EXPECT_TRUE(std::equal(words.begin(), words.end(), pattern.begin()));
    CloseDisk();

    // An NB03 write into an empty file reads its banks as zeros first.
    fs::path ram = dir_ / "empty.nb3";
    WriteFileBytes(ram, {});
    ASSERT_TRUE(OpenDisk(true, false, DiskType::NB03, ram.string()));
    WriteBlock(10, pattern.data());
    EXPECT_EQ(fs::file_size(ram), 8192u);
    words.fill(0);
    ReadBlock(10, words.data());
    EXPECT_TRUE(std::equal(words.begin(), words.end(), pattern.begin()));
    ReadBlock(9, words.data());
    EXPECT_TRUE(IsZero(words));
}

// A floppy made by OS/8 on a simulator: 125,056 bytes instead of 256,256.
TEST_F(FaultTest, ShortFixtureFloppyReadsItsDirectoryAndZerosBeyond) {
    fs::path fixture = fs::path(ORVA_FIXTURES_DIR) / "os8-made.rx01";
    if (!fs::exists(fixture))
        LEAVE_WITHOUT_FIXTURE(fixture);
    ASSERT_EQ(fs::file_size(fixture), 125056u);
    ASSERT_TRUE(OpenDisk(true, true, DiskType::RX01, fixture.string()));
    BlockWords words{};
    ReadBlock(1, words.data());
    EXPECT_EQ(words[0], 4096 - 6);  // five files and a free area
    EXPECT_EQ(words[1], 7);         // first file block
    for (unsigned nBlock : {300u, 493u}) {
        words.fill(0xFFFF);
        ReadBlock(nBlock, words.data());
        EXPECT_TRUE(IsZero(words)) << "block " << nBlock;
    }
}

// A host disk that fills up while a new image is zeroed: the partial file is
// removed and nothing stays mounted. The file-size limit stands in for the
// full disk; Windows has none, and there the image writes are cut at the
// same size by the write-limit seam.
TEST_F(FaultTest, CreateDiskThatCannotZeroFillLeavesNothingBehind) {
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (dir_ / "first.rx1").string()));
    fs::path image = dir_ / "big.rk5";

#ifdef _WIN32
    SetImageWriteLimit(100000);
    bool fCreated = CreateDisk(true, DiskType::RK05, image.string());
    SetImageWriteLimit(0);
#else
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 100000;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool fCreated = CreateDisk(true, DiskType::RK05, image.string());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
#endif

    EXPECT_FALSE(fCreated);
    EXPECT_FALSE(fs::exists(image));
    EXPECT_FALSE(IsDiskMounted());
    EXPECT_EQ(GetDiskName(), "");
}

}  // namespace
}  // namespace disktest
