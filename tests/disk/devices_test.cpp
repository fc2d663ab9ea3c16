// The device table: every row pinned to the figures of the device it
// describes, and the lookups MOUNT makes in it.
#include "devices.h"
#include "disk_testkit.h"

namespace disktest {
namespace {

struct ExpectedRow {
    DiskType type;
    std::string_view keyword;
    unsigned nKeywordMinimum;
    std::string_view defaultExtension;
    std::string_view otherExtension;  // empty when there is none
    unsigned cbSector;
    std::uint64_t cbImage;
    unsigned nMappedBlocks;
    unsigned nOS8Blocks;
    unsigned nUnits;
    bool fPhysical;
};

TEST(DeviceTable, EveryRowHoldsTheFiguresOfItsDevice) {
    const ExpectedRow rows[] = {
        {DiskType::RX01, "RX01", 4, ".rx1", ".rx01", 128, 256256, 494, 494, 1, true},
        {DiskType::RX50, "RX50", 4, ".rx5", ".rx50", 512, 409600, 770, 766, 1, true},
        {DiskType::NB03, "NB03", 2, ".nb3", "", 4096, 524288, 1344, 1344, 1, false},
        {DiskType::HE02, "HE02", 2, ".he2", "", 512, 2097152, 4096, 4096, 1, true},
        {DiskType::RK05, "RK05", 2, ".rk5", ".rk05", 512, 3325952, 3248, 3248, 2, false},
        {DiskType::TU56, "TU56", 2, ".tu56", ".dt8", 258, 380292, 737, 737, 1, false},
        {DiskType::RX02, "RX02", 4, ".rx2", ".rx02", 256, 512512, 988, 988, 1, false},
    };
    ASSERT_EQ(std::size(rows), DEVICE_TABLE.size());
    for (const ExpectedRow& expected : rows) {
        SCOPED_TRACE(expected.keyword);
        const DeviceInfo& row = GetDeviceInfo(expected.type);
        EXPECT_EQ(row.nDiskType, expected.type);
        EXPECT_EQ(row.keyword, expected.keyword);
        EXPECT_EQ(row.nKeywordMinimum, expected.nKeywordMinimum);
        EXPECT_EQ(row.extensions[0], expected.defaultExtension);
        EXPECT_EQ(row.extensions[1], expected.otherExtension);
        EXPECT_EQ(row.cbSector, expected.cbSector);
        EXPECT_EQ(row.cbImage, expected.cbImage);
        EXPECT_EQ(row.nMappedBlocks, expected.nMappedBlocks);
        EXPECT_EQ(row.nOS8Blocks, expected.nOS8Blocks);
        EXPECT_EQ(row.nUnits, expected.nUnits);
        EXPECT_EQ(row.fPhysical, expected.fPhysical);
    }
    // The values stored images and other programs know stay as they were.
    EXPECT_EQ(static_cast<int>(DiskType::RX01), 0);
    EXPECT_EQ(static_cast<int>(DiskType::RK05), 4);
    EXPECT_EQ(static_cast<int>(DiskType::TU56), 5);
    EXPECT_EQ(static_cast<int>(DiskType::RX02), 6);
    EXPECT_EQ(static_cast<int>(DiskType::None), 7);
    EXPECT_EQ(TU56_IMAGE_128_BYTES, 377344u);
}

TEST(DeviceTable, ExtensionsNameTheirDeviceInAnyCase) {
    const std::pair<std::string_view, DiskType> cases[] = {
        {".rx1", DiskType::RX01},  {".RX01", DiskType::RX01}, {".rx5", DiskType::RX50},
        {".Rx50", DiskType::RX50}, {".nb3", DiskType::NB03},  {".HE2", DiskType::HE02},
        {".rk5", DiskType::RK05},  {".rk05", DiskType::RK05}, {".tu56", DiskType::TU56},
        {".DT8", DiskType::TU56},  {".rx2", DiskType::RX02},  {".RX02", DiskType::RX02},
        {".dsk", DiskType::None},  {"", DiskType::None},      {".", DiskType::None},
        {"rx1", DiskType::None},   {".rx", DiskType::None},   {".tu5", DiskType::None},
    };
    for (const auto& [extension, type] : cases)
        EXPECT_EQ(FindDeviceByExtension(extension), type) << "'" << extension << "'";
}

}  // namespace
}  // namespace disktest
