// A device fault in the middle of a READ abandons the command and leaves no
// partial host file behind, in every mode.
#include <gtest/gtest.h>

#include "commands.h"
#include "disk.h"
#include "testfiles.h"
#include "os8.h"
#include "shell.h"

namespace {

using std::filesystem::exists;

struct Dismount {
    ~Dismount() {
        SetBlockTransferFault(0);
        if (IsDiskMounted())
            CloseDisk();
    }
};

TEST(TransferFaults, DeviceFaultDuringReadLeavesNoPartialHostFile) {
    testfiles::TempDir dir;
    Dismount dismount;
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (dir / "disk.rx1").string()));
    ZeroDirectory(false);
    const std::string data(5 * 384, 'x');
    testfiles::WriteFile(dir / "data.img", data);
    DoWrite("/IMAGE", (dir / "data.img").string(), "DATA.IM");

    for (const char* pszMode : {"/IMAGE", "/BYTE", "/ASCII"}) {
        std::string out = (dir / "out").string();
        // The directory segment is the first transfer; the second data
        // block fails, after the first has reached the host file.
        SetBlockTransferFault(3);
        EXPECT_THROW(DoRead(pszMode, "DATA.IM", out), CommandAbort) << pszMode;
        SetBlockTransferFault(0);
        EXPECT_FALSE(exists(out)) << pszMode;
    }
    std::string out = (dir / "out.img").string();
    DoRead("/IMAGE", "DATA.IM", out);
    EXPECT_EQ(testfiles::ReadFile(out), data);
}

}  // namespace
