// Block mapping: where each block of each device lies in its image file, and
// the byte form of its words, checked in both directions against the raw
// bytes of real temporary images.
#include <algorithm>

#include "disk_testkit.h"

namespace disktest {
namespace {

// A piece of a block: the words from nFirstWord on stored at lOffset.
struct Piece {
    std::uint64_t lOffset;
    unsigned nFirstWord;
};

struct MappingRow {
    const char* label;
    DiskType type;
    bool fDrive;  // HE02 drive (a whole-drive image of three partitions)
    std::uint32_t nUnit;
    unsigned nBlock;
    std::vector<Piece> pieces;
    std::uint64_t cbImage = 0;  // the image's size; 0 for the device's full size
};

// A TU56 image in the 128-word form, told apart by this size.
constexpr std::uint64_t TAPE_128_BYTES = 377344;

const std::vector<MappingRow>& MappingRows() {
    static const std::vector<MappingRow> rows = {
        {"RX01 block 0", DiskType::RX01, false, 0, 0,
         {{3328, 0}, {3584, 64}, {3840, 128}, {4096, 192}}},
        {"RX01 block 3", DiskType::RX01, false, 0, 3,
         {{6400, 0}, {3456, 64}, {3712, 128}, {3968, 192}}},
        {"RX01 block 6 across tracks 1 and 2", DiskType::RX01, false, 0, 6,
         {{6272, 0}, {6528, 64}, {6656, 128}, {6912, 192}}},
        {"RX01 block 7", DiskType::RX01, false, 0, 7,
         {{7168, 0}, {7424, 64}, {7680, 128}, {7936, 192}}},
        {"RX01 block 12", DiskType::RX01, false, 0, 12,
         {{9088, 0}, {9344, 64}, {9600, 128}, {9856, 192}}},
        {"RX01 block 13", DiskType::RX01, false, 0, 13,
         {{9984, 0}, {10240, 64}, {10496, 128}, {10752, 192}}},
        {"RX01 block 493", DiskType::RX01, false, 0, 493,
         {{255360, 0}, {255616, 64}, {255872, 128}, {256128, 192}}},
        {"RX50 block 0", DiskType::RX50, false, 0, 0, {{5120, 0}}},
        {"RX50 block 5", DiskType::RX50, false, 0, 5, {{7680, 0}}},
        {"RX50 block 9", DiskType::RX50, false, 0, 9, {{9728, 0}}},
        {"RX50 block 10", DiskType::RX50, false, 0, 10, {{12288, 0}}},
        {"RX50 block 11", DiskType::RX50, false, 0, 11, {{10240, 0}}},
        {"RX50 block 15", DiskType::RX50, false, 0, 15, {{14848, 0}}},
        {"RX50 block 20", DiskType::RX50, false, 0, 20, {{16896, 0}}},
        {"RX50 block 769", DiskType::RX50, false, 0, 769, {{398336, 0}}},
        {"RK05 unit 0 block 0", DiskType::RK05, false, 0, 0, {{0, 0}}},
        {"RK05 unit 0 block 3247", DiskType::RK05, false, 0, 3247, {{1662464, 0}}},
        {"RK05 unit 1 block 0", DiskType::RK05, false, 1, 0, {{1662976, 0}}},
        {"RK05 unit 1 block 3247", DiskType::RK05, false, 1, 3247, {{3325440, 0}}},
        {"NB03 block 0", DiskType::NB03, false, 0, 0, {{0, 0}, {192, 128}}},
        {"NB03 block 10 across banks 0 and 1", DiskType::NB03, false, 0, 10,
         {{3840, 0}, {4096, 128}}},
        {"NB03 block 1343", DiskType::NB03, false, 0, 1343,
         {{523840, 0}, {524032, 128}}},
        {"HE02 image block 5", DiskType::HE02, false, 0, 5, {{2560, 0}}},
        {"HE02 image block 4095", DiskType::HE02, false, 0, 4095, {{2096640, 0}}},
#ifndef _WIN32  // a POSIX drive; tests/drive maps the Windows one
        {"HE02 drive partition 2 block 5", DiskType::HE02, true, 2, 5, {{4196864, 0}}},
#endif
        {"TU56 block 0", DiskType::TU56, false, 0, 0, {{0, 0}, {258, 128}}},
        {"TU56 block 1", DiskType::TU56, false, 0, 1, {{516, 0}, {774, 128}}},
        {"TU56 block 736", DiskType::TU56, false, 0, 736, {{379776, 0}, {380034, 128}}},
        {"TU56 128-word form block 0", DiskType::TU56, false, 0, 0, {{0, 0}, {256, 128}},
         TAPE_128_BYTES},
        {"TU56 128-word form block 736", DiskType::TU56, false, 0, 736,
         {{376832, 0}, {377088, 128}}, TAPE_128_BYTES},
        {"RX02 block 0", DiskType::RX02, false, 0, 0, {{6656, 0}, {7424, 128}}},
        {"RX02 block 4", DiskType::RX02, false, 0, 4, {{12800, 0}, {6912, 128}}},
        {"RX02 block 12", DiskType::RX02, false, 0, 12, {{11776, 0}, {12544, 128}}},
        {"RX02 block 13 starts track 2", DiskType::RX02, false, 0, 13,
         {{13312, 0}, {14080, 128}}},
        {"RX02 block 987", DiskType::RX02, false, 0, 987, {{510976, 0}, {511744, 128}}},
    };
    return rows;
}

constexpr std::uint64_t DRIVE_BYTES = 3ull * 4096 * 512;

std::uint64_t ImageBytes(const MappingRow& row) {
    if (row.fDrive)
        return DRIVE_BYTES;
    if (row.cbImage != 0)
        return row.cbImage;
    switch (row.type) {
    case DiskType::RX01: return 256256;
    case DiskType::RX50: return 409600;
    case DiskType::NB03: return 524288;
    case DiskType::HE02: return 2097152;
    case DiskType::TU56: return 380292;
    case DiskType::RX02: return 512512;
    default: return 3325952;
    }
}

// The stored form of the words of one piece.
Bytes Encode(DiskType type, const std::uint16_t* pw) {
    switch (type) {
    case DiskType::RX01: return EncodeRX01(pw, 64);
    case DiskType::RX02: return EncodeRX01(pw, 128);
    case DiskType::NB03: return EncodeNB03(pw, 128);
    case DiskType::TU56: return EncodeLE(pw, 128);
    default: return EncodeLE(pw, 256);
    }
}

void MountRow(const MappingRow& row, const fs::path& image, bool fReadOnly) {
    testing::internal::CaptureStderr();  // the drive announces its partitions
    bool fOpened = OpenDisk(!row.fDrive, fReadOnly, row.type, image.string());
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(fOpened);
    if (row.nUnit != 0) {
        ASSERT_TRUE(SelectPartition(row.nUnit));
    }
}

// The first byte where two images differ, for a readable failure.
std::string FirstDifference(const Bytes& actual, const Bytes& expected) {
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.size()) + " instead of " +
               std::to_string(expected.size());
    auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (mismatch.first == actual.end())
        return "";
    return "first difference at byte " + std::to_string(mismatch.first - actual.begin());
}

using MappingTest = DiskTest;

TEST_F(MappingTest, WriteBlockStoresEachPieceAtItsOffsetAndNothingElse) {
    for (const MappingRow& row : MappingRows()) {
        SCOPED_TRACE(row.label);
        fs::path image = dir_ / "write.img";
        fs::remove(image);
        MakeZeroFile(image, ImageBytes(row));
        ASSERT_NO_FATAL_FAILURE(MountRow(row, image, false));
        Words words = PatternWords(row.nBlock);
        WriteBlock(row.nBlock, words.data());
        CloseDisk();

        Bytes expected(ImageBytes(row), 0);
        for (const Piece& piece : row.pieces) {
            Bytes stored = Encode(row.type, words.data() + piece.nFirstWord);
            std::copy(stored.begin(), stored.end(), expected.begin() + piece.lOffset);
        }
        EXPECT_EQ(FirstDifference(ReadFileBytes(image), expected), "");
    }
}

// The stored bytes carry what a reader must ignore: RX01 sector bytes 96-127
// and RX02 sector bytes 192-255 set, the 129th word of a TU56 tape block set,
// and the upper four bits of every 16-bit word set (dropped on RX50, HE02 and
// TU56, kept on RK05).
TEST_F(MappingTest, ReadBlockTakesEachPieceFromItsOffsetWithTheDeviceMasking) {
    for (const MappingRow& row : MappingRows()) {
        SCOPED_TRACE(row.label);
        fs::path image = dir_ / "read.img";
        fs::remove(image);
        MakeZeroFile(image, ImageBytes(row));
        Words words = PatternWords(row.nBlock + 1);
        Words stored = words;
        Words expected = words;
        if (row.type == DiskType::RX50 || row.type == DiskType::HE02 ||
            row.type == DiskType::RK05 || row.type == DiskType::TU56) {
            for (unsigned i = 0; i < DISK_BLOCK_WORDS; ++i)
                stored[i] = static_cast<std::uint16_t>(words[i] | ((i % 16) << 12));
            if (row.type == DiskType::RK05)
                expected = stored;
        }
        for (const Piece& piece : row.pieces) {
            PatchFile(image, piece.lOffset, Encode(row.type, stored.data() + piece.nFirstWord));
            if (row.type == DiskType::RX01)
                PatchFile(image, piece.lOffset + 96, Bytes(32, 0xFF));
            if (row.type == DiskType::RX02)
                PatchFile(image, piece.lOffset + 192, Bytes(64, 0xFF));
            if (row.type == DiskType::TU56 && row.cbImage == 0)
                PatchFile(image, piece.lOffset + 256, Bytes{0x77, 0x07});
        }
        ASSERT_NO_FATAL_FAILURE(MountRow(row, image, true));
        BlockWords read{};
        ReadBlock(row.nBlock, read.data());
        EXPECT_TRUE(std::equal(read.begin(), read.end(), expected.begin()));
        // Closed before the next row removes the file: Windows removes no
        // open file.
        CloseDisk();
    }
}

// Every one of the 4,096 twelve-bit values survives a round trip on every
// device (written and read back through the module).
TEST_F(MappingTest, EveryTwelveBitValueRoundTrips) {
    for (DiskType type : {DiskType::RX01, DiskType::RX50, DiskType::NB03,
                          DiskType::HE02, DiskType::RK05, DiskType::TU56, DiskType::RX02}) {
        SCOPED_TRACE(static_cast<int>(type));
        fs::path image = dir_ / ("round" + std::to_string(static_cast<int>(type)));
        ASSERT_TRUE(CreateDisk(true, type, image.string()));
        for (unsigned nBlock = 0; nBlock < 16; ++nBlock) {
            BlockWords words{};
            for (unsigned i = 0; i < DISK_BLOCK_WORDS; ++i)
                words[i] = static_cast<std::uint16_t>(nBlock * DISK_BLOCK_WORDS + i);
            WriteBlock(nBlock, words.data());
        }
        for (unsigned nBlock = 0; nBlock < 16; ++nBlock) {
            BlockWords words{};
            ReadBlock(nBlock, words.data());
            for (unsigned i = 0; i < DISK_BLOCK_WORDS; ++i)
                ASSERT_EQ(words[i], nBlock * DISK_BLOCK_WORDS + i) << "block " << nBlock;
        }
        CloseDisk();
    }
}

// An NB03 write is a read-modify-write of whole banks: block 10 straddles
// banks 0 and 1, and every other byte of both banks must survive.
TEST_F(MappingTest, NB03WriteKeepsTheOtherHalfBlocksOfBothBanks) {
    fs::path image = dir_ / "ram.nb3";
    Bytes original(524288);
    for (std::size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
    WriteFileBytes(image, original);

    ASSERT_TRUE(OpenDisk(true, false, DiskType::NB03, image.string()));
    Words words = PatternWords(10);
    WriteBlock(10, words.data());
    CloseDisk();

    Bytes expected = original;
    Bytes first = EncodeNB03(words.data(), 128);
    Bytes second = EncodeNB03(words.data() + 128, 128);
    std::copy(first.begin(), first.end(), expected.begin() + 3840);
    std::copy(second.begin(), second.end(), expected.begin() + 4096);
    EXPECT_EQ(FirstDifference(ReadFileBytes(image), expected), "");
}

// A TU56 write stores the 128 data words of each of its two tape blocks and
// leaves the 129th word of each, and every other byte, as the image held it.
TEST_F(MappingTest, TU56WriteKeepsTheLastWordOfEachTapeBlock) {
    fs::path image = dir_ / "tape.tu56";
    Bytes original(380292);
    for (std::size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<std::uint8_t>((i * 29 + 5) & 0xFF);
    WriteFileBytes(image, original);

    ASSERT_TRUE(OpenDisk(true, false, DiskType::TU56, image.string()));
    Words words = PatternWords(7);
    WriteBlock(7, words.data());
    CloseDisk();

    Bytes expected = original;
    Bytes first = EncodeLE(words.data(), 128);
    Bytes second = EncodeLE(words.data() + 128, 128);
    std::copy(first.begin(), first.end(), expected.begin() + 7 * 516);
    std::copy(second.begin(), second.end(), expected.begin() + 7 * 516 + 258);
    EXPECT_EQ(FirstDifference(ReadFileBytes(image), expected), "");
}

// A short TU56 or RX02 image (the simulator writes only as far as it went)
// reads as zeros past its end and grows on writing; an image of the 128-word
// size stays in that form.
TEST_F(MappingTest, ShortTapeAndFloppyImagesReadZerosAndGrow) {
    struct ShortRow {
        DiskType type;
        std::uint64_t cbStart;
        unsigned nBlock;
        std::uint64_t cbAfter;  // the size after writing the block
    };
    const ShortRow rows[] = {
        {DiskType::TU56, 1000, 100, 100 * 516 + 258 + 256},
        {DiskType::TU56, TAPE_128_BYTES, 736, TAPE_128_BYTES},
        {DiskType::RX02, 7000, 987, 511744 + 256},
    };
    for (const ShortRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.type));
        fs::path image = dir_ / "short.img";
        fs::remove(image);
        WriteFileBytes(image, Bytes(row.cbStart, 0));
        ASSERT_TRUE(OpenDisk(true, false, row.type, image.string()));
        BlockWords words;
        words.fill(0xFFFF);
        ReadBlock(row.nBlock, words.data());
        EXPECT_TRUE(std::all_of(words.begin(), words.end(), [](std::uint16_t w) { return w == 0; }));
        Words pattern = PatternWords(row.nBlock);
        WriteBlock(row.nBlock, pattern.data());
        ReadBlock(row.nBlock, words.data());
        EXPECT_TRUE(std::equal(words.begin(), words.end(), pattern.begin()));
        CloseDisk();
        EXPECT_EQ(fs::file_size(image), row.cbAfter);
    }
}

// The geometry of each device's new image, and that it reads as zero words
// in every block of every unit.
TEST_F(MappingTest, NewImageHasTheDeviceSizeAndReadsAsZeroWords) {
    struct SizeRow {
        DiskType type;
        std::uintmax_t cbImage;
        unsigned nBlocks;  // per unit
        unsigned nUnits;
    };
    const SizeRow rows[] = {
        {DiskType::RX01, 256256, 494, 1},   {DiskType::RX50, 409600, 770, 1},
        {DiskType::NB03, 524288, 1344, 1},  {DiskType::HE02, 2097152, 4096, 1},
        {DiskType::RK05, 3325952, 3248, 2}, {DiskType::TU56, 380292, 737, 1},
        {DiskType::RX02, 512512, 988, 1},
    };
    for (const SizeRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.type));
        fs::path image = dir_ / ("new" + std::to_string(static_cast<int>(row.type)));
        ASSERT_TRUE(CreateDisk(true, row.type, image.string()));
        EXPECT_EQ(fs::file_size(image), row.cbImage);
        EXPECT_TRUE(IsDiskMounted());
        EXPECT_EQ(GetDiskType(), row.type);
        EXPECT_FALSE(IsDiskReadOnly());
        for (unsigned nUnit = 0; nUnit < row.nUnits; ++nUnit) {
            if (nUnit > 0) {
                ASSERT_TRUE(SelectPartition(nUnit));
            }
            for (unsigned nBlock = 0; nBlock < row.nBlocks; ++nBlock) {
                BlockWords words;
                words.fill(0xFFFF);
                ReadBlock(nBlock, words.data());
                ASSERT_TRUE(std::all_of(words.begin(), words.end(),
                                        [](std::uint16_t w) { return w == 0; }))
                    << "unit " << nUnit << " block " << nBlock;
            }
        }
        CloseDisk();
    }
}

}  // namespace
}  // namespace disktest
