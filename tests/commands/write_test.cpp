// WRITE over an existing file when the directory has no room for the new
// version beside the old one: the old version makes way first, and the new
// one is written.
#include <gtest/gtest.h>

#include <string>

#include "commands.h"
#include "disk.h"
#include "os8.h"
#include "shell.h"
#include "testfiles.h"

namespace {

std::string FileName(int n) { return "F" + std::to_string(n) + ".DA"; }

TEST(WriteReplace, FullDirectoryPurgesTheOldVersionFirst) {
    testfiles::TempDir dir;
    struct Dismount {
        ~Dismount() {
            if (IsDiskMounted())
                CloseDisk();
        }
    } dismount;
    SetProgramName("ORVA");
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (dir.path() / "disk.rx1").string()));
    ZeroDirectory(false);
    // One-block files until no segment takes another entry; free blocks stay.
    int nFiles = 0;
    for (;; ++nFiles) {
        OS8_CONTEXT context;
        int nBlock = 0;
        int nRoom = 0;
        CreateTentativeFile(&context, FileName(nFiles), 06100, &nBlock, &nRoom);
        if (nRoom == 0)
            break;
        CloseTentativeFile(&context, 1);
        ASSERT_LT(nFiles, 300);
    }
    const std::string hostFile = (dir.path() / "new.da").string();
    testfiles::WriteFile(hostFile, "new\n");

    testing::internal::CaptureStderr();
    DoWrite("", hostFile, FileName(5));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("purging existing version of " + FileName(5)), std::string::npos) << err;
    EXPECT_NE(err.find(" to " + FileName(5) + "\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("no room"), std::string::npos) << err;

    // The file is there once, with the new data's one block, after the old
    // files; every other file is kept.
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0;
    int nLength = 0;
    int nFound = 0;
    int nOthers = 0;
    while (NextEntry(&context, &name, &nBlock, &nLength, nullptr, nullptr)) {
        if (name == FileName(5)) {
            ++nFound;
            EXPECT_EQ(nLength, 1);
            EXPECT_GE(nBlock, 7 + nFiles);
        } else if (!name.empty()) {
            ++nOthers;
        }
    }
    EXPECT_EQ(nFound, 1);
    EXPECT_EQ(nOthers, nFiles - 1);
}

}  // namespace
