// The Windows physical-drive layer over a fake volume: drive names, the
// partition count from the geometry, the place of every block, the faults
// of each Win32 call, and the eject on release.
#include <gtest/gtest.h>

#include <string>

#include "disk.h"
#include "fake_drive.h"
#include "shell.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class DriveWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramName("ORVA");
        fakedrive::Reset(3 * 4096 + 1);
    }
    void TearDown() override {
        if (IsDiskMounted())
            CloseDisk();
    }
    // Mounts the fake drive as E:; the messages printed come back.
    std::string Mount(const std::string& name = "E:") {
        CaptureStderr();
        bool fMounted = OpenDisk(false, false, DiskType::HE02, name);
        std::string err = GetCapturedStderr();
        EXPECT_EQ(fMounted, IsDiskMounted());
        return err;
    }
};

TEST_F(DriveWin32, OnlyALetterAndAColonNameADrive) {
    struct NameRow {
        const char* pszName;
        bool fAccepted;
    };
    const NameRow rows[] = {{"E:", true}, {"e:", true}, {"Z:", true}, {"E", false},
                            {"E:\\", false}, {"EE:", false}, {"1:", false}, {":E", false},
                            {"", false}, {"E:x", false}};
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.pszName);
        fakedrive::Reset(4096);
        std::string err = Mount(row.pszName);
        EXPECT_EQ(IsDiskMounted(), row.fAccepted);
        if (row.fAccepted) {
            EXPECT_EQ(fakedrive::Drive().lastPath, std::string("\\\\.\\") + row.pszName);
            EXPECT_EQ(GetDiskName(), row.pszName);
            CloseDisk();
        } else {
            EXPECT_EQ(err, "%ORVA-E, Use <drive letter>: as the device name to open a physical drive\n");
            EXPECT_EQ(fakedrive::Drive().lastPath, "");  // nothing was opened
        }
        EXPECT_EQ(fakedrive::Drive().nOpen, 0);
    }
}

TEST_F(DriveWin32, WholePartitionsOfTheGeometryCount) {
    struct GeometryRow {
        std::int64_t qCylinders;
        std::uint32_t nHeads, nSectors, cbSector;
        unsigned nPartitions;
    };
    const GeometryRow rows[] = {
        {8200, 1, 1, 512, 2},         // 8,200 sectors
        {4095, 1, 1, 512, 0},         // less than one partition
        {4096, 1, 1, 512, 1},
        {1024, 16, 63, 512, 252},     // 1,032,192 sectors
        {1000, 1, 1, 4096, 1},        // 8,000 sectors of 512 bytes
        {243201, 255, 63, 512, 953863},  // a 2 TB drive: 64-bit arithmetic
    };
    for (const GeometryRow& row : rows) {
        SCOPED_TRACE(row.qCylinders);
        fakedrive::Reset(0);
        fakedrive::Drive().geometry = {row.qCylinders, row.nHeads, row.nSectors, row.cbSector};
        EXPECT_EQ(Mount(), "%ORVA-I, HE02 supports " + std::to_string(row.nPartitions) +
                               " OS/8 partitions\n");
        for (std::uint32_t n = 0; n <= row.nPartitions && n < 3; ++n)
            EXPECT_EQ(SelectPartition(n), n < row.nPartitions) << n;
        EXPECT_FALSE(SelectPartition(row.nPartitions));
        CloseDisk();
    }
}

TEST_F(DriveWin32, BlocksLieAtTheirPartitionOffsets) {
    Mount();
    BlockWords words{};
    words[0] = 0xF123;  // the upper four bits are dropped on reading
    words[255] = 07777;
    ASSERT_TRUE(SelectPartition(2));
    WriteBlock(5, words.data());
    EXPECT_EQ(fakedrive::Drive().writeOffsets.back(), 4196864u);
    const auto& abData = fakedrive::Drive().abData;
    EXPECT_EQ(abData[4196864], 0x23);
    EXPECT_EQ(abData[4196865], 0xF1);
    BlockWords back{};
    ReadBlock(5, back.data());
    EXPECT_EQ(fakedrive::Drive().readOffsets.back(), 4196864u);
    EXPECT_EQ(back[0], 0x123);
    EXPECT_EQ(back[255], 07777);
    ASSERT_TRUE(SelectPartition(0));
    ReadBlock(4095, back.data());
    EXPECT_EQ(fakedrive::Drive().readOffsets.back(), 4095u * 512);
}

TEST_F(DriveWin32, ABlockPastTheEndOfTheDriveIsRefused) {
    fakedrive::Reset(4095);
    Mount();
    std::uint32_t nPartition = 99;
    EXPECT_TRUE(GetPartition(&nPartition));
    EXPECT_EQ(nPartition, 0u);
    BlockWords words{};
    WriteBlock(4094, words.data());
    CaptureStderr();
    EXPECT_THROW(WriteBlock(4095, words.data()), CommandAbort);
    EXPECT_EQ(GetCapturedStderr(), "%ORVA-E, block 4095 is outside disk E:\n");
    EXPECT_EQ(fakedrive::Drive().writeOffsets.size(), 1u);
}

TEST_F(DriveWin32, FailedOpenOrGeometryIsReportedWithTheSystemText) {
    fakedrive::Drive().nOpenError = 2;
    EXPECT_EQ(Mount(), "%ORVA-E, Error opening the drive: system error text 2\n");
    EXPECT_FALSE(IsDiskMounted());

    fakedrive::Reset(4096);
    fakedrive::Drive().nGeometryError = 1;
    EXPECT_EQ(Mount(), "%ORVA-E, Error opening drive for I/O: system error text 1\n");
    EXPECT_FALSE(IsDiskMounted());
    EXPECT_EQ(fakedrive::Drive().nOpen, 0);  // the handle was closed
    EXPECT_EQ(fakedrive::Drive().nEjects, 0);
}

TEST_F(DriveWin32, TransferFaultsAbandonTheCommandWithTheSystemText) {
    Mount();
    BlockWords words{};
    struct FaultRow {
        bool fWrite;
        std::string message;
    };
    const FaultRow rows[] = {
        {false, "%ORVA-E, unable to read block 3 of E:: system error text 23\n"},
        {true, "%ORVA-E, unable to write block 3 of E:: system error text 21\n"},
    };
    for (const FaultRow& row : rows) {
        fakedrive::Drive().nReadError = row.fWrite ? 0 : 23;
        fakedrive::Drive().nWriteError = row.fWrite ? 21 : 0;
        CaptureStderr();
        bool fAborted = false;
        try {
            if (row.fWrite)
                WriteBlock(3, words.data());
            else
                ReadBlock(3, words.data());
        } catch (const CommandAbort&) {
            fAborted = true;
        }
        EXPECT_TRUE(fAborted);
        EXPECT_EQ(GetCapturedStderr(), row.message);
        EXPECT_TRUE(IsDiskMounted());
    }
    // Once the drive answers again, so does the disk.
    fakedrive::Drive().nReadError = 0;
    ReadBlock(3, words.data());
}

TEST_F(DriveWin32, ReleaseEjectsAndClosesOnce) {
    Mount();
    EXPECT_EQ(fakedrive::Drive().nOpen, 1);
    CloseDisk();
    EXPECT_EQ(fakedrive::Drive().nEjects, 1);
    EXPECT_EQ(fakedrive::Drive().nOpen, 0);
    // A new mount of the drive while it is mounted lets the old handle go.
    Mount();
    Mount();
    EXPECT_EQ(fakedrive::Drive().nOpen, 1);
    EXPECT_EQ(fakedrive::Drive().nEjects, 2);
}

}  // namespace
