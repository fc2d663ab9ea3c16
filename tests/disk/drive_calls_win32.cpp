// The Win32 calls of the Windows drive layer, made for real on a file that
// stands in for the volume (the two IOCTLs need a real drive and are left to
// the fake volume of tests/drive): sector transfers beyond 4 GiB, a read
// past the end, and the system's error texts.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "disk_testkit.h"
#include "drive_win32.h"

namespace disktest {
namespace {

using DriveCalls = DiskTest;

TEST_F(DriveCalls, SectorsBeyondFourGiBGoWhereTheyBelong) {
    fs::path volume = dir_ / "volume.img";
    const std::uint64_t qOffset = (std::uint64_t{5} << 30) + 512;  // past every 32-bit offset
    MakeZeroFile(volume, qOffset + 1024);
    DriveHandle hDrive = nullptr;
    ASSERT_TRUE(DriveCallOpen(volume.string(), &hDrive));
    std::array<std::uint8_t, 1024> abOut{};
    for (std::size_t i = 0; i < abOut.size(); ++i)
        abOut[i] = static_cast<std::uint8_t>(i * 7 + 1);
    EXPECT_TRUE(DriveCallWrite(hDrive, qOffset, abOut.data(), 1024));
    std::array<std::uint8_t, 1024> abIn{};
    EXPECT_TRUE(DriveCallRead(hDrive, qOffset, abIn.data(), 1024));
    EXPECT_EQ(abIn, abOut);
    // A read that the volume cannot fill fails, with the end-of-file error.
    EXPECT_FALSE(DriveCallRead(hDrive, qOffset + 512, abIn.data(), 1024));
    EXPECT_EQ(DriveCallLastError(), 38u);  // ERROR_HANDLE_EOF
    DriveCallClose(hDrive);
    // Nothing was written anywhere else: the sector lies at its offset.
    EXPECT_EQ(fs::file_size(volume), qOffset + 1024);
    Bytes abFile(1024);
    std::ifstream in(volume, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(qOffset));
    in.read(reinterpret_cast<char*>(abFile.data()), 1024);
    EXPECT_TRUE(std::equal(abFile.begin(), abFile.end(), abOut.begin()));
}

TEST_F(DriveCalls, ErrorTextsHaveNoLineEnd) {
    for (std::uint32_t nError : {2u, 5u, 32u, 38u, 0x12345678u}) {
        SCOPED_TRACE(nError);
        const std::string text = DriveCallErrorText(nError);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace disktest
