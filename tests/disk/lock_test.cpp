// The advisory lock a mount holds on its image: exclusive for a writable
// mount, shared for a read-only one, kept until the disk is closed. Another
// open of the same file stands for another program.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "disk_testkit.h"

namespace disktest {
namespace {

using LockTest = DiskTest;

// Tries the lock another program would take on the file; true when it got it
// (and let it go again).
bool OtherCanLock(const fs::path& file, bool fExclusive) {
    int fd = open(file.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    bool fLocked = flock(fd, (fExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
    close(fd);
    return fLocked;
}

TEST_F(LockTest, MountHoldsItsLockUntilClosed) {
    fs::path image = dir_ / "a.rx1";
    MakeZeroFile(image, 256256);
    for (bool fReadOnly : {false, true}) {
        SCOPED_TRACE(fReadOnly ? "read-only" : "writable");
        ASSERT_TRUE(OpenDisk(true, fReadOnly, DiskType::RX01, image.string()));
        EXPECT_FALSE(OtherCanLock(image, true));
        EXPECT_EQ(OtherCanLock(image, false), fReadOnly);
        CloseDisk();
        EXPECT_TRUE(OtherCanLock(image, true));
    }
    // A new image is locked from its creation on.
    fs::path created = dir_ / "new.rx1";
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, created.string()));
    EXPECT_FALSE(OtherCanLock(created, false));
    CloseDisk();
}

TEST_F(LockTest, OpenRefusesAnImageAnotherHolds) {
    fs::path image = dir_ / "a.rx1";
    MakeZeroFile(image, 256256);
    struct Case {
        bool fOtherExclusive;
        bool fReadOnly;
        bool fOpens;
    };
    for (const Case& c : {Case{true, false, false}, Case{true, true, false}, Case{false, false, false},
                          Case{false, true, true}}) {
        SCOPED_TRACE(testing::Message() << "other exclusive " << c.fOtherExclusive << ", read-only "
                                        << c.fReadOnly);
        int fd = open(image.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(flock(fd, c.fOtherExclusive ? LOCK_EX : LOCK_SH), 0);
        EXPECT_EQ(OpenDisk(true, c.fReadOnly, DiskType::RX01, image.string()), c.fOpens);
        EXPECT_EQ(IsDiskMounted(), c.fOpens);
        EXPECT_EQ(WasDiskInUse(), !c.fOpens);
        if (IsDiskMounted())
            CloseDisk();
        close(fd);
    }
    // A file that cannot be opened at all is not "in use".
    EXPECT_FALSE(OpenDisk(true, false, DiskType::RX01, (dir_ / "missing.rx1").string()));
    EXPECT_FALSE(WasDiskInUse());
}

TEST_F(LockTest, DriveIsLockedLikeAnImage) {
    fs::path drive = dir_ / "drive.img";
    MakeZeroFile(drive, 4096 * 512);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(OpenDisk(false, false, DiskType::HE02, drive.string()));
    EXPECT_FALSE(OtherCanLock(drive, false));
    CloseDisk();
    int fd = open(drive.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_SH), 0);
    EXPECT_FALSE(OpenDisk(false, false, DiskType::HE02, drive.string()));
    EXPECT_TRUE(WasDiskInUse());
    EXPECT_TRUE(OpenDisk(false, true, DiskType::HE02, drive.string()));
    CloseDisk();
    close(fd);
    testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace disktest
