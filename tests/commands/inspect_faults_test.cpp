// Device faults in the middle of MOUNT and DIRECTORY: the command is
// abandoned, and it leaves no disk half initialised and no host file open.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands.h"
#include "disk.h"
#include "testfiles.h"
#include "shell.h"

namespace {

namespace fs = std::filesystem;
using testfiles::ReadFile;
using testfiles::TempDir;

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

class CommandFault : public testing::Test {
protected:
    void TearDown() override {
        SetBlockTransferFault(0);
        if (IsDiskMounted())
            CloseDisk();
    }
    TempDir dir;
};

// MOUNT /INITIALIZE of a new RK05 image writes blocks 1-6 of unit 0 and
// then of unit 1; a fault at any of them leaves nothing mounted (not a disk
// with one unit zeroed, or with unit 1 current).
TEST_F(CommandFault, InitializeFaultLeavesNothingMounted) {
    for (unsigned long nFault : {1ul, 6ul, 7ul, 12ul}) {
        SCOPED_TRACE(nFault);
        std::string name = (dir / ("NEW" + std::to_string(nFault))).string();
        SetBlockTransferFault(nFault);
        testing::internal::CaptureStderr();
        EXPECT_THROW(DoMount("/RK05/INITIALIZE", name, ""), CommandAbort);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(IsDiskMounted());
        EXPECT_NE(err.find("unable to write block"), std::string::npos) << err;
        EXPECT_NE(err.find("dismounting disk " + name + ".rk5"), std::string::npos) << err;
    }
}

#ifndef _WIN32  // a whole-drive image file is a drive on POSIX hosts only
TEST_F(CommandFault, BootBlockReadFaultLeavesTheDriveDismounted) {
    fs::path drive = dir / "DRIVE.IMG";
    testfiles::WriteFile(drive, "");
    fs::resize_file(drive, 2 * 4096 * 512);
    SetBlockTransferFault(1);
    testing::internal::CaptureStderr();
    EXPECT_THROW(DoMount("/PHYSICAL/HE02", drive.string(), ""), CommandAbort);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(IsDiskMounted());
    EXPECT_NE(err.find("unable to read block 0"), std::string::npos) << err;
}
#endif

// The listing abandoned by a fault is closed: what was listed is in the
// file, and no descriptor is left open.
TEST_F(CommandFault, DirectoryOutputFileIsClosedAfterAFault) {
    std::string image = (dir / "DISK").string();
    std::string listing = (dir / "LIST.TXT").string();
    testing::internal::CaptureStderr();
    DoMount("/RX01/INITIALIZE", image, "");
    ASSERT_TRUE(IsDiskMounted());
    std::size_t nOpen = OpenDescriptors();
    SetBlockTransferFault(1);
    EXPECT_THROW(DoDirectory("", "*.*", listing), CommandAbort);
    EXPECT_EQ(OpenDescriptors(), nOpen);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("unable to read block 1"), std::string::npos) << err;
    EXPECT_EQ(ReadFile(listing), testfiles::HostText("\nDirectory of " + image + ".rx1\n"));
}

}  // namespace
