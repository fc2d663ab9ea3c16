// The advisory lock a mount holds on its image: exclusive for a writable
// mount, shared for a read-only one, kept until the disk is closed. Another
// open of the same file stands for another program.
#include <fcntl.h>

#include "disk_testkit.h"
#include "portable.h"
#include "testhost.h"
#ifdef _WIN32
#include "drive_win32.h"
#endif

namespace disktest {
namespace {

using LockTest = DiskTest;

// Tries the lock another program would take on the file; true when it got it
// (and let it go again).
bool OtherCanLock(const fs::path& file, bool fExclusive) {
    int fd = open(file.string().c_str(), O_RDONLY | O_BINARY);
    EXPECT_GE(fd, 0);
    bool fLocked = HostLockFile(fd, fExclusive);
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
        int fd = open(image.string().c_str(), O_RDONLY | O_BINARY);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(HostLockFile(fd, c.fOtherExclusive));
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

// The message another orva gives when it mounts the image with the
// command given: the first one of the command, without the prompt.
std::string OtherOrvaMounts(const fs::path& dir, const std::string& command) {
    TempDir capture;
    const int nStatus = testhost::RunRedirected(ORVA_BINARY, dir, {"-c", command}, capture / "stdout",
                                                capture / "stderr");
    EXPECT_EQ(nStatus, 0);
    const std::string messages = testfiles::ReadFile(capture / "stderr");
    const std::size_t nStart = messages.find('%');
    const std::size_t nEnd = messages.find('\n', nStart);
    return nStart == std::string::npos || nEnd == std::string::npos ? messages
                                                                     : messages.substr(nStart, nEnd - nStart + 1);
}

// The lock holds against another running program, not only another open in
// this one: a second orva is refused whatever its mount would conflict with,
// and may share a read-only image.
TEST_F(LockTest, AnotherOrvaIsRefusedWhileTheImageIsHeld) {
    fs::path image = dir_ / "a.rx1";
    MakeZeroFile(image, 256256);
    const std::string inUse = "%ORVA-E, a.rx1 is in use by another program\n";
    const std::string mounted = "%ORVA-I, mounted virtual disk on file a.rx1\n";
    struct Case {
        bool fHeldReadOnly;
        bool fOtherReadOnly;
        bool fShared;
    };
    for (const Case& c : {Case{false, true, false}, Case{false, false, false}, Case{true, false, false},
                          Case{true, true, true}}) {
        SCOPED_TRACE(testing::Message() << "held read-only " << c.fHeldReadOnly << ", other read-only "
                                        << c.fOtherReadOnly);
        ASSERT_TRUE(OpenDisk(true, c.fHeldReadOnly, DiskType::RX01, image.string()));
        const std::string command = c.fOtherReadOnly ? "MOUNT /RX01 /READ_ONLY a.rx1" : "MOUNT /RX01 a.rx1";
        EXPECT_EQ(OtherOrvaMounts(dir_.path(), command), c.fShared ? mounted : inUse);
        CloseDisk();
    }
    // Let go, the image mounts in the other program.
    EXPECT_EQ(OtherOrvaMounts(dir_.path(), "MOUNT /RX01 a.rx1"), mounted);
}

#ifdef _WIN32
// A Windows drive is held by the share mode it is opened with, which lets no
// other open read it: another orva, mounting it writable or read-only, and
// any other reader are refused until it is let go. A file stands in for the
// volume: the open is the same call.
TEST_F(LockTest, DriveIsHeldByItsShareMode) {
    fs::path volume = dir_ / "volume.img";
    MakeZeroFile(volume, 4096 * 512);
    DriveHandle hDrive = nullptr;
    ASSERT_TRUE(DriveCallOpen(volume.string(), &hDrive));
    DriveHandle hOther = nullptr;
    EXPECT_FALSE(DriveCallOpen(volume.string(), &hOther));
    EXPECT_EQ(DriveCallLastError(), 32u);  // ERROR_SHARING_VIOLATION
    const int fd = open(volume.string().c_str(), O_RDONLY | O_BINARY);
    EXPECT_LT(fd, 0);
    if (fd >= 0)
        close(fd);
    DriveCallClose(hDrive);
    ASSERT_TRUE(DriveCallOpen(volume.string(), &hOther));
    DriveCallClose(hOther);
}
#else
TEST_F(LockTest, DriveIsLockedLikeAnImage) {
    fs::path drive = dir_ / "drive.img";
    MakeZeroFile(drive, 4096 * 512);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(OpenDisk(false, false, DiskType::HE02, drive.string()));
    EXPECT_FALSE(OtherCanLock(drive, false));
    CloseDisk();
    int fd = open(drive.string().c_str(), O_RDONLY | O_BINARY);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(HostLockFile(fd, false));
    EXPECT_FALSE(OpenDisk(false, false, DiskType::HE02, drive.string()));
    EXPECT_TRUE(WasDiskInUse());
    EXPECT_TRUE(OpenDisk(false, true, DiskType::HE02, drive.string()));
    CloseDisk();
    close(fd);
    testing::internal::GetCapturedStderr();
}
#endif

}  // namespace
}  // namespace disktest
