// Mount state: opening, creating and closing image files, physical drives on
// this host (block devices or whole-drive image files), partitions and units.
#include <algorithm>

#include "disk_testkit.h"

namespace disktest {
namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

using MountTest = DiskTest;

void ExpectNothingMounted() {
    EXPECT_FALSE(IsDiskMounted());
    EXPECT_EQ(GetDiskType(), DiskType::None);
    EXPECT_EQ(GetDiskName(), "");
    EXPECT_FALSE(IsDiskReadOnly());
}

TEST_F(MountTest, OpenDiskSetsTheMountStateAndCloseDiskEndsIt) {
    fs::path image = dir_ / "a.rx5";
    MakeZeroFile(image, 409600);
    for (bool fReadOnly : {false, true}) {
        ASSERT_TRUE(OpenDisk(true, fReadOnly, DiskType::RX50, image.string()));
        EXPECT_TRUE(IsDiskMounted());
        EXPECT_EQ(GetDiskType(), DiskType::RX50);
        EXPECT_EQ(GetDiskName(), image.string());
        EXPECT_EQ(IsDiskReadOnly(), fReadOnly);
        CloseDisk();
        ExpectNothingMounted();
    }
}

TEST_F(MountTest, FailedOpenOfASecondDiskStillClosesTheFirst) {
    fs::path image = dir_ / "first.rk5";
    ASSERT_TRUE(CreateDisk(true, DiskType::RK05, image.string()));
    ASSERT_TRUE(SelectPartition(1));
    CaptureStderr();
    EXPECT_FALSE(OpenDisk(true, false, DiskType::RX01, (dir_ / "missing.rx1").string()));
    EXPECT_EQ(GetCapturedStderr(), "");  // the caller reports
    ExpectNothingMounted();

    // The next mount starts again at unit 0.
    ASSERT_TRUE(OpenDisk(true, false, DiskType::RK05, image.string()));
    std::uint32_t nUnit = 99;
    EXPECT_TRUE(GetPartition(&nUnit));
    EXPECT_EQ(nUnit, 0u);
}

TEST_F(MountTest, CreateDiskRefusesAnExistingFileAndLeavesItAlone) {
    fs::path mounted = dir_ / "mounted.rx1";
    fs::path existing = dir_ / "existing.rx1";
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, mounted.string()));
    WriteFileBytes(existing, Bytes{1, 2, 3});

    CaptureStderr();
    EXPECT_FALSE(CreateDisk(true, DiskType::RX01, existing.string()));
    EXPECT_EQ(GetCapturedStderr(), "");
    ExpectNothingMounted();
    EXPECT_EQ(ReadFileBytes(existing), (Bytes{1, 2, 3}));
}

TEST_F(MountTest, NamesWithBackslashesAreOpenedWithSlashes) {
    fs::create_directory(dir_ / "sub");
    std::string name = (dir_ / "sub" / "b.nb3").string();
    std::replace(name.begin(), name.end(), '/', '\\');

    ASSERT_TRUE(CreateDisk(true, DiskType::NB03, name));
    EXPECT_EQ(GetDiskName(), name);  // shown as the user typed it
    EXPECT_EQ(fs::file_size(dir_ / "sub" / "b.nb3"), 524288u);
    CloseDisk();
    EXPECT_TRUE(OpenDisk(true, true, DiskType::NB03, name));
}

// Only HE02 has physical drives; the others are refused without a word.
TEST_F(MountTest, PhysicalDriveOfAnotherTypeIsRefusedSilently) {
    fs::path image = dir_ / "drive.img";
    MakeZeroFile(image, 8200 * 512);
    for (DiskType type : {DiskType::RX01, DiskType::RX50, DiskType::NB03, DiskType::RK05,
                          DiskType::TU56, DiskType::RX02}) {
        CaptureStderr();
        EXPECT_FALSE(OpenDisk(false, false, type, image.string()));
        EXPECT_FALSE(CreateDisk(false, type, image.string()));
        EXPECT_EQ(GetCapturedStderr(), "");
        ExpectNothingMounted();
    }
}

// A drive of a POSIX host is a block device or a whole-drive image file;
// the Windows drive layer (drive letters) is tested over a fake volume in
// tests/drive.
#ifndef _WIN32
// A regular file holding a whole-drive image counts its whole partitions of
// 4,096 sectors.
TEST_F(MountTest, DriveReportsItsWholePartitions) {
    struct DriveRow {
        std::uint64_t nSectors;
        const char* message;
        std::uint32_t nPartitions;
    };
    const DriveRow rows[] = {
        {8200, "%ORVA-I, HE02 supports 2 OS/8 partitions\n", 2},
        {4095, "%ORVA-I, HE02 supports 0 OS/8 partitions\n", 0},
        {4096, "%ORVA-I, HE02 supports 1 OS/8 partitions\n", 1},
    };
    for (const DriveRow& row : rows) {
        SCOPED_TRACE(row.nSectors);
        fs::path drive = dir_ / "drive.img";
        MakeZeroFile(drive, row.nSectors * 512);
        CaptureStderr();
        ASSERT_TRUE(OpenDisk(false, true, DiskType::HE02, drive.string()));
        EXPECT_EQ(GetCapturedStderr(), row.message);
        EXPECT_EQ(GetDiskType(), DiskType::HE02);
        EXPECT_TRUE(IsDiskReadOnly());
        for (std::uint32_t n = 0; n <= row.nPartitions; ++n)
            EXPECT_EQ(SelectPartition(n), n < row.nPartitions) << "partition " << n;
        std::uint32_t nPartition = 99;
        EXPECT_TRUE(GetPartition(&nPartition));
        EXPECT_EQ(nPartition, row.nPartitions == 0 ? 0 : row.nPartitions - 1);
        // CreateDisk on a drive only opens it: nothing is written.
        CaptureStderr();
        ASSERT_TRUE(CreateDisk(false, DiskType::HE02, drive.string()));
        GetCapturedStderr();
        EXPECT_FALSE(IsDiskReadOnly());
        CloseDisk();
        EXPECT_EQ(fs::file_size(drive), row.nSectors * 512);
        fs::remove(drive);
    }
}

TEST_F(MountTest, DriveThatCannotBeOpenedOrSizedIsReported) {
    struct FailRow {
        std::string path;
        std::string message;
    };
    std::vector<FailRow> rows = {
        {(dir_ / "missing").string(),
         "%ORVA-E, Error opening the drive: No such file or directory\n"},
        {dir_.path().string(), "%ORVA-E, Error opening the drive: Is a directory\n"},
    };
    if (fs::exists("/dev/null"))
        rows.push_back({"/dev/null",
                        "%ORVA-E, Error opening drive for I/O: Block device required\n"});
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (dir_ / "first.rx1").string()));
    for (const FailRow& row : rows) {
        SCOPED_TRACE(row.path);
        CaptureStderr();
        EXPECT_FALSE(OpenDisk(false, false, DiskType::HE02, row.path));
        EXPECT_EQ(GetCapturedStderr(), row.message);
        ExpectNothingMounted();
    }
}
#endif

// Which partitions or units each kind of mount offers.
TEST_F(MountTest, PartitionRulesOfEachMount) {
    struct PartitionRow {
        const char* label;
        DiskType type;
        bool fDrive;
        std::uint32_t nSelectable;  // partitions 0..n-1 can be selected
        bool fHasPartitions;        // GetPartition answers true
    };
    const PartitionRow rows[] = {
        {"RX01 image", DiskType::RX01, false, 0, false},
        {"RX50 image", DiskType::RX50, false, 0, false},
        {"NB03 image", DiskType::NB03, false, 0, false},
        {"HE02 image", DiskType::HE02, false, 0, false},
        {"RK05 image", DiskType::RK05, false, 2, true},
#ifndef _WIN32
        {"HE02 drive of 3 partitions", DiskType::HE02, true, 3, true},
#endif
    };
    fs::path drive = dir_ / "drive.img";
    MakeZeroFile(drive, 3 * 4096 * 512 + 512);
    for (const PartitionRow& row : rows) {
        SCOPED_TRACE(row.label);
        fs::path path = row.fDrive ? drive : dir_ / (row.label + std::string(".img"));
        CaptureStderr();
        bool fMounted = row.fDrive ? OpenDisk(false, false, row.type, path.string())
                                   : CreateDisk(true, row.type, path.string());
        GetCapturedStderr();
        ASSERT_TRUE(fMounted);

        std::uint32_t nCurrent = 0;
        for (std::uint32_t n : {1u, 0u, 2u, 3u, 0xFFFFFFFFu}) {
            bool fSelected = SelectPartition(n);
            EXPECT_EQ(fSelected, n < row.nSelectable) << "partition " << n;
            if (fSelected)
                nCurrent = n;
            std::uint32_t nPartition = 99;
            EXPECT_EQ(GetPartition(&nPartition), row.fHasPartitions);
            EXPECT_EQ(nPartition, nCurrent) << "after selecting " << n;
        }
        EXPECT_EQ(GetPartition(nullptr), row.fHasPartitions);
        CloseDisk();
    }

    // Nothing mounted: nothing to select.
    EXPECT_FALSE(SelectPartition(0));
    std::uint32_t nPartition = 99;
    EXPECT_FALSE(GetPartition(&nPartition));
    EXPECT_EQ(nPartition, 0u);
}

}  // namespace
}  // namespace disktest
