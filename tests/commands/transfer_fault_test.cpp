// A device fault in the middle of a READ abandons the command and leaves no
// partial host file behind, in every mode.
#include <gtest/gtest.h>

#include "commands.h"
#include "disk.h"
#include "harness.h"
#include "os8.h"
#include "shell.h"

namespace {

using orvatest::fs::exists;

struct Dismount {
    ~Dismount() {
        SetBlockTransferFault(0);
        if (IsDiskMounted())
            CloseDisk();
    }
};

TEST(TransferFaults, DeviceFaultDuringReadLeavesNoPartialHostFile) {
    orvatest::TempDir dir;
    Dismount dismount;
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (dir / "disk.rx1").string()));
    ZeroDirectory(false);
    // More blocks than one transfer moves, so the file is read in two runs.
    const std::string data((DISK_RUN_BLOCKS + 6) * 384, 'x');
    orvatest::WriteFile(dir / "data.img", data);
    DoWrite("/IMAGE", (dir / "data.img").string(), "DATA.IM");

    for (const char* pszMode : {"/IMAGE", "/BYTE", "/ASCII"}) {
        std::string out = (dir / "out").string();
        // The directory segment is the first transfer; the second run of
        // data blocks fails, after the first has reached the host file.
        SetBlockTransferFault(3);
        EXPECT_THROW(DoRead(pszMode, "DATA.IM", out), CommandAbort) << pszMode;
        SetBlockTransferFault(0);
        EXPECT_FALSE(exists(out)) << pszMode;
    }
    std::string out = (dir / "out.img").string();
    DoRead("/IMAGE", "DATA.IM", out);
    EXPECT_EQ(orvatest::ReadFile(out), data);
}

}  // namespace
