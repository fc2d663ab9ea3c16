// Runs of blocks (ReadBlocks, WriteBlocks): a run stores exactly the bytes
// that its blocks written one at a time store, on every device and across
// the places where the layout is not contiguous (RX01 and RX50 interleave,
// NB03 banks, the end of a track, RX02's three-way interleave, the 129th
// word of each TU56 tape block, which a write leaves as it was); a run reaching outside the device or
// failing moves nothing and names its block.
#include <algorithm>

#include "disk_testkit.h"

namespace disktest {
namespace {

struct RunDevice {
    const char* label;
    DiskType type;
    std::uint32_t nUnit;
    unsigned nBlocks;  // blocks of the unit
    // 0: a new image; otherwise an existing image of this size, every byte
    // FILL_BYTE, so that bytes a write must not touch can be checked.
    std::uint64_t cbImage = 0;
};

constexpr std::uint8_t FILL_BYTE = 0x5A;

const RunDevice kDevices[] = {
    {"RX01", DiskType::RX01, 0, 494},  {"RX50", DiskType::RX50, 0, 770},
    {"NB03", DiskType::NB03, 0, 1344}, {"HE02", DiskType::HE02, 0, 4096},
    {"RK05 unit 1", DiskType::RK05, 1, 3248},
    {"TU56", DiskType::TU56, 0, 737, 380292},
    {"TU56 128-word form", DiskType::TU56, 0, 737, 377344},
    {"RX02", DiskType::RX02, 0, 988},
};

// First block and length of each run; the last runs end at the unit's end.
struct BlockRun {
    unsigned nFirst;
    unsigned nCount;
};

std::vector<BlockRun> RunsOf(const RunDevice& device) {
    return {{0, 1},  {5, 13}, {6, 2},  {9, 3},  {10, 1}, {20, DISK_RUN_BLOCKS},
            {100, 41}, {device.nBlocks - DISK_RUN_BLOCKS, DISK_RUN_BLOCKS},
            {device.nBlocks - 1, 1}};
}

Words RunWords(unsigned nFirst, unsigned nCount) {
    Words words;
    for (unsigned n = 0; n < nCount; ++n) {
        Words block = PatternWords(nFirst + n);
        words.insert(words.end(), block.begin(), block.end());
    }
    return words;
}

void Mount(const RunDevice& device, const fs::path& image) {
    if (device.cbImage != 0) {
        WriteFileBytes(image, Bytes(device.cbImage, FILL_BYTE));
        ASSERT_TRUE(OpenDisk(true, false, device.type, image.string()));
    } else {
        ASSERT_TRUE(CreateDisk(true, device.type, image.string()));
    }
    if (device.nUnit != 0) {
        ASSERT_TRUE(SelectPartition(device.nUnit));
    }
}

using RunTest = DiskTest;

TEST_F(RunTest, RunsStoreWhatSingleBlocksStoreAndReadItBack) {
    for (const RunDevice& device : kDevices) {
        SCOPED_TRACE(device.label);
        for (const BlockRun& run : RunsOf(device)) {
            SCOPED_TRACE("run " + std::to_string(run.nFirst) + "+" + std::to_string(run.nCount));
            const Words words = RunWords(run.nFirst, run.nCount);
            fs::path single = dir_ / "single.img";
            fs::path runs = dir_ / "runs.img";
            fs::remove(single);
            fs::remove(runs);

            ASSERT_NO_FATAL_FAILURE(Mount(device, single));
            for (unsigned n = 0; n < run.nCount; ++n)
                WriteBlock(run.nFirst + n, words.data() + n * DISK_BLOCK_WORDS);
            CloseDisk();

            ASSERT_NO_FATAL_FAILURE(Mount(device, runs));
            const unsigned long nBefore = GetBlockTransferCount();
            WriteBlocks(run.nFirst, run.nCount, words.data());
            EXPECT_EQ(GetBlockTransferCount(), nBefore + 1);
            Words back(words.size(), 07777);
            ReadBlocks(run.nFirst, run.nCount, back.data());
            EXPECT_EQ(back, words);
            CloseDisk();

            const Bytes image = ReadFileBytes(runs);
            EXPECT_TRUE(image == ReadFileBytes(single));
            if (device.type == DiskType::TU56 && device.cbImage == 380292) {
                // The 129th word of every tape block written is the image's.
                for (unsigned nTape = 2 * run.nFirst; nTape < 2 * (run.nFirst + run.nCount); ++nTape) {
                    const std::size_t cbAt = std::size_t{nTape} * 258 + 256;
                    ASSERT_EQ(image[cbAt], FILL_BYTE) << "tape block " << nTape;
                    ASSERT_EQ(image[cbAt + 1], FILL_BYTE) << "tape block " << nTape;
                }
            }
        }
    }
}

TEST_F(RunTest, RunOutsideTheDeviceOrFailingMovesNothing) {
    for (const RunDevice& device : kDevices) {
        SCOPED_TRACE(device.label);
        fs::path image = dir_ / "disk.img";
        fs::remove(image);
        ASSERT_NO_FATAL_FAILURE(Mount(device, image));
        const Bytes before = ReadFileBytes(image);
        const Words words = RunWords(0, 4);

        struct Case {
            unsigned nFirst;
            unsigned long nFault;  // 0: no injected fault
            std::string message;
        };
        const Case cases[] = {
            {device.nBlocks - 2, 0,
             "%ORVA-E, block " + std::to_string(device.nBlocks) + " is outside disk " + image.string() + "\n"},
            {device.nBlocks + 3, 0,
             "%ORVA-E, block " + std::to_string(device.nBlocks + 3) + " is outside disk " + image.string() +
                 "\n"},
            {7, 1, "%ORVA-E, unable to write block 7 of " + image.string() + ": Input/output error\n"},
        };
        for (const Case& c : cases) {
            SetBlockTransferFault(c.nFault);
            testing::internal::CaptureStderr();
            EXPECT_THROW(WriteBlocks(c.nFirst, 4, words.data()), CommandAbort);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
            SetBlockTransferFault(0);
        }
        CloseDisk();
        EXPECT_TRUE(ReadFileBytes(image) == before);
    }
}

}  // namespace
}  // namespace disktest
