// File data transfer: block packing, text, image and byte imports and
// exports, the room rule, host file faults and the block counts.
#include <gmock/gmock.h>

#include <memory>
#include <random>

#include "os8_testkit.h"
#include "portable.h"

using namespace os8test;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Owns a descriptor or a stream of a host file.
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0)
            close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
File OpenFile(const fs::path& path, const char* pszMode) {
    return File(std::fopen(path.string().c_str(), pszMode), &std::fclose);
}

// The 384 bytes of a block image.
Bytes ReadBytes(unsigned nBlock) {
    BlockWords awData = ReadWords(nBlock);
    Bytes abData(OS8_BYTE_BLOCK_SIZE);
    UnpackBlock(awData.data(), abData.data());
    return abData;
}

// Stores text bytes from block nFirst on, padded with zeros.
void WriteTextBlocks(unsigned nFirst, const Bytes& text) {
    for (std::size_t nOffset = 0; nOffset < text.size(); nOffset += OS8_BYTE_BLOCK_SIZE) {
        Bytes abData(OS8_BYTE_BLOCK_SIZE, 0);
        std::copy(text.begin() + static_cast<std::ptrdiff_t>(nOffset),
                  text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), nOffset + OS8_BYTE_BLOCK_SIZE)),
                  abData.begin());
        BlockWords awData;
        PackBlock(abData.data(), awData.data());
        WriteWords(nFirst + static_cast<unsigned>(nOffset / OS8_BYTE_BLOCK_SIZE), awData);
    }
}

// Fills blocks with junk so that the zeros an import writes show.
void Scribble(unsigned nFirst, unsigned nCount) {
    BlockWords awJunk;
    awJunk.fill(05252);
    for (unsigned n = 0; n < nCount; ++n)
        WriteWords(nFirst + n, awJunk);
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Exports nCount text blocks from block nFirst and returns the host text.
std::string ExportText(const TempDir& dir, unsigned nFirst, unsigned nCount) {
    const fs::path path = dir / "out.txt";
    {
        File file = OpenFile(path, "w");
        EXPECT_TRUE(CopyAsciiOut(nFirst, nCount, file.get()));
    }
    return ReadText(path);
}

// Imports a host text at block nFirst with the given room.
bool ImportText(const TempDir& dir, const std::string& text, unsigned nFirst, int* pnLength) {
    const fs::path path = dir / "in.txt";
    WriteText(path, text);
    File file = OpenFile(path, "rb");
    const ImportResult result = CopyAsciiIn(nFirst, pnLength, file.get());
    EXPECT_NE(result, ImportResult::ReadError);
    return result == ImportResult::Written;
}

// ---- Packing -----------------------------------------------------------------------

TEST(Packing, PackAndUnpackInvertEachOther) {
    std::mt19937 random(1234);
    for (int nRound = 0; nRound < 20; ++nRound) {
        BlockWords awData;
        for (std::uint16_t& w : awData)
            w = static_cast<std::uint16_t>(random() & 07777);
        Bytes abData(OS8_BYTE_BLOCK_SIZE);
        UnpackBlock(awData.data(), abData.data());
        BlockWords awBack{};
        PackBlock(abData.data(), awBack.data());
        EXPECT_EQ(awBack, awData);

        for (std::uint8_t& b : abData)
            b = static_cast<std::uint8_t>(random());
        PackBlock(abData.data(), awData.data());
        Bytes abBack(OS8_BYTE_BLOCK_SIZE);
        UnpackBlock(awData.data(), abBack.data());
        EXPECT_EQ(abBack, abData);
    }
}

TEST(Packing, GroupLayout) {
    BlockWords awData{};
    awData[0] = 0x123;
    awData[1] = 0x456;
    awData[255] = 0xABC;
    Bytes abData(OS8_BYTE_BLOCK_SIZE);
    UnpackBlock(awData.data(), abData.data());
    EXPECT_EQ(abData[0], 0x23);
    EXPECT_EQ(abData[1], 0x56);
    EXPECT_EQ(abData[2], 0x14);
    EXPECT_EQ(abData[382], 0xBC);
    EXPECT_EQ(abData[383], 0x0A);
}

// ---- Text --------------------------------------------------------------------------

TEST(TextImport, BlocksAndControlZ) {
    TempDisk disk(DiskType::RX01);
    const std::string line100 = std::string(100, 'x') + "\n";  // 102 stored characters
    const struct {
        const char* pszLabel;
        std::string text;
        int nBlocks;
        std::size_t nControlZ;  // offset of the control-Z in the text
    } cases[] = {
        {"empty", "", 1, 0},
        {"383 stored", line100 + line100 + line100 + std::string(75, 'y') + "\n", 1, 383},
        {"384 stored", line100 + line100 + line100 + std::string(76, 'y') + "\n", 2, 384},
        {"no final newline", "abc", 1, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszLabel);
        Scribble(20, 3);
        int nLength = 3;
        ASSERT_TRUE(ImportText(disk.dir(), c.text, 20, &nLength));
        EXPECT_EQ(nLength, c.nBlocks);
        Bytes stored;
        for (int n = 0; n < c.nBlocks; ++n) {
            const Bytes abData = ReadBytes(20 + static_cast<unsigned>(n));
            stored.insert(stored.end(), abData.begin(), abData.end());
        }
        EXPECT_EQ(stored[c.nControlZ], 0232);
        // Every character before it has bit 7 set; zeros follow it.
        for (std::size_t i = 0; i < c.nControlZ; ++i)
            ASSERT_GE(stored[i], 0200) << i;
        for (std::size_t i = c.nControlZ + 1; i < stored.size(); ++i)
            ASSERT_EQ(stored[i], 0) << i;
        // The block after the last is untouched.
        EXPECT_EQ(ReadWords(20 + static_cast<unsigned>(c.nBlocks))[0], 05252);
    }
}

TEST(TextImport, LineEnds) {
    TempDisk disk(DiskType::RX01);
    const struct {
        const char* pszLabel;
        std::string host;
        std::string stored;
    } cases[] = {
        {"LF", "AB\nC\n", "AB\r\nC\r\n"},
        {"CR LF", "AB\r\nC\r\n", "AB\r\nC\r\n"},
        {"empty lines", "\n\r\n", "\r\n\r\n"},
        {"a lone CR is data", "A\rB\n", "A\rB\r\n"},
        {"last line without newline", "AB\nC", "AB\r\nC\r\n"},
        {"a line of 255", std::string(255, 'a') + "\n", std::string(255, 'a') + "\r\n"},
        {"a line of 255 with CR LF", std::string(255, 'a') + "\r\n", std::string(255, 'a') + "\r\n"},
        {"a line of 300 is kept whole", std::string(300, 'b') + "\n", std::string(300, 'b') + "\r\n"},
        {"a line of 1000 is kept whole", std::string(1000, 'c') + "\n", std::string(1000, 'c') + "\r\n"},
        {"a control-Z ends the text", "AB\nC\032D\nE\n", "AB\r\nC\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszLabel);
        int nLength = 4;
        ASSERT_TRUE(ImportText(disk.dir(), c.host, 30, &nLength));
        Bytes stored;
        for (int n = 0; n < nLength; ++n) {
            const Bytes abData = ReadBytes(30 + static_cast<unsigned>(n));
            stored.insert(stored.end(), abData.begin(), abData.end());
        }
        std::string text;
        for (std::uint8_t b : stored) {
            if (b == 0232)
                break;
            text += static_cast<char>(b & 0177);
        }
        EXPECT_EQ(text, c.stored);
    }
}

TEST(TextImport, RoomRule) {
    TempDisk disk(DiskType::RX01);
    // Room 0: even an empty text does not fit.
    int nLength = 0;
    EXPECT_FALSE(ImportText(disk.dir(), "", 40, &nLength));
    EXPECT_EQ(nLength, 0);
    // A text of three blocks with a room of two writes the two that fit.
    Scribble(40, 3);
    nLength = 2;
    std::string text;
    for (int n = 0; n < 10; ++n)
        text += std::string(99, 'z') + "\n";  // 1010 stored characters
    EXPECT_FALSE(ImportText(disk.dir(), text, 40, &nLength));
    EXPECT_EQ(nLength, 0);
    EXPECT_EQ(ReadBytes(41)[0], 0200 | 'z');
    EXPECT_EQ(ReadWords(42)[0], 05252);
    nLength = 3;
    EXPECT_TRUE(ImportText(disk.dir(), text, 40, &nLength));
    EXPECT_EQ(nLength, 3);
}

TEST(TextExport, StreamsEveryCharacter) {
    TempDisk disk(DiskType::RX01);
    const struct {
        const char* pszLabel;
        std::string stored;
        unsigned nBlocks;
        std::string host;
    } cases[] = {
        {"stops at control-Z", "AB\r\nCD\x1a" "EF\r\n", 1, "AB\nCD\n"},
        {"NUL and CR vanish, tab and form feed pass", std::string("A\0B\rC\tD\fE\r\n", 11), 1, "ABC\tD\fE\n"},
        {"bit 7 is ignored", "\xc1\xc2\x8d\x8a\x9a", 1, "AB\n"},
        {"a line of 300 is written whole", std::string(300, 'q') + "\r\n\x1a", 1, std::string(300, 'q') + "\n"},
        {"a last line without line feed ends with a newline", "AB\r\nCD\x1a", 1, "AB\nCD\n"},
        {"text without control-Z ends with the blocks", std::string(768, 'r'), 2, std::string(768, 'r') + "\n"},
        {"a control-Z in the second block", std::string(500, 's') + "\n\x1a", 3, std::string(500, 's') + "\n"},
        {"nothing but control-Z", "\x1a", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszLabel);
        Scribble(50, 3);
        WriteTextBlocks(50, ToBytes(c.stored));
        EXPECT_EQ(ExportText(disk.dir(), 50, c.nBlocks), testfiles::HostText(c.host));
    }
}

TEST(TextExport, RoundTripOfAHostText) {
    TempDisk disk(DiskType::RX01);
    std::string text;
    for (int n = 0; n < 40; ++n)
        text += "Line " + std::to_string(n) + "\twith a tab and some words to fill it up.\n";
    text += std::string(250, 'w') + "\f\n";
    int nLength = 10;
    ASSERT_TRUE(ImportText(disk.dir(), text, 60, &nLength));
    EXPECT_EQ(ExportText(disk.dir(), 60, static_cast<unsigned>(nLength)), testfiles::HostText(text));
}

TEST(TextExport, FixtureTexts) {
    const struct {
        const char* pszImage;
        DiskType type;
        std::uint32_t nUnit;
        const char* pszFile;
        const char* pszText;
    } cases[] = {
        {"os8-made.rx01", DiskType::RX01, 0, "INIT.TX", "os8-made.INIT.TX.txt"},
        {"os8-v3d.rk05", DiskType::RK05, 1, "HELLO.BA", "os8-v3d.unit1.HELLO.BA.txt"},
    };
    for (const auto& c : cases) {
        if (!HaveFixture(c.pszImage) || !HaveFixture(c.pszText)) {
            LEAVE_WITHOUT_FIXTURE(c.pszText);
        }
        SCOPED_TRACE(c.pszFile);
        TempDir dir;
        ASSERT_TRUE(OpenDisk(true, true, c.type, (FixturesDir() / c.pszImage).string()));
        if (c.nUnit != 0) {
            ASSERT_TRUE(SelectPartition(c.nUnit));
        }
        OS8_CONTEXT context;
        InitContext(&context);
        std::string name;
        int nBlock = 0;
        int nLength = 0;
        ASSERT_TRUE(FindFile(&context, c.pszFile, name, &nBlock, &nLength, nullptr, nullptr));
        const std::string text = ExportText(dir, static_cast<unsigned>(nBlock), static_cast<unsigned>(nLength));
        CloseDisk();
        EXPECT_EQ(text, testfiles::HostText(ReadText(FixturesDir() / c.pszText)));
    }
}

// ---- Image and byte modes --------------------------------------------------------------

TEST(ImageMode, ShortLastRecordIsPaddedWithOneWarning) {
    TempDisk disk(DiskType::RX01);
    Bytes data(385);
    std::mt19937 random(99);
    for (std::uint8_t& b : data)
        b = static_cast<std::uint8_t>(random());
    const fs::path path = disk.dir() / "in.img";
    WriteText(path, std::string(data.begin(), data.end()));

    for (int nRoom : {2, 1}) {
        SCOPED_TRACE(nRoom);
        Scribble(70, 2);
        Fd file(open(path.string().c_str(), O_RDONLY | O_BINARY));
        int nLength = nRoom;
        bool fResult = false;
        const std::string messages =
            CaptureMessages([&] { fResult = CopyImageIn(70, &nLength, file.fd) == ImportResult::Written; });
        EXPECT_EQ(messages, "%-W, Partial last block written (not an image file?)\n");
        EXPECT_EQ(fResult, nRoom == 2);
        EXPECT_EQ(nLength, nRoom == 2 ? 2 : 0);
        EXPECT_EQ(ReadBytes(70), Bytes(data.begin(), data.begin() + 384));
        if (nRoom == 2) {
            Bytes expected(OS8_BYTE_BLOCK_SIZE, 0);
            expected[0] = data[384];
            EXPECT_EQ(ReadBytes(71), expected);
        } else {
            EXPECT_EQ(ReadWords(71)[0], 05252);
        }
    }

    // Out again: the whole blocks, padding included.
    const fs::path out = disk.dir() / "out.img";
    {
        Fd file(open(out.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600));
        Scribble(71, 1);
        Fd in(open(path.string().c_str(), O_RDONLY | O_BINARY));
        int nLength = 2;
        CaptureMessages([&] { CopyImageIn(70, &nLength, in.fd); });
        EXPECT_TRUE(CopyImageOut(70, 2, file.fd));
    }
    data.resize(768, 0);
    EXPECT_EQ(ReadText(out), std::string(data.begin(), data.end()));
}

TEST(ByteMode, KeepsTheLowEightBits) {
    TempDisk disk(DiskType::RX01);
    BlockWords awData;
    for (unsigned i = 0; i < 256; ++i)
        awData[i] = static_cast<std::uint16_t>((i << 4) ^ 07400);  // bits 11-8 in use
    WriteWords(80, awData);
    const fs::path out = disk.dir() / "out.bin";
    {
        Fd file(open(out.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600));
        EXPECT_TRUE(CopyByteOut(80, 1, file.fd));
    }
    const std::string bytes = ReadText(out);
    ASSERT_EQ(bytes.size(), 256u);
    for (unsigned i = 0; i < 256; ++i)
        ASSERT_EQ(static_cast<std::uint8_t>(bytes[i]), awData[i] & 0377) << i;

    // In again, with a short last record: word i = byte i, zeros after.
    WriteText(out, bytes + "\x7f\x80");
    Scribble(81, 2);
    Fd in(open(out.string().c_str(), O_RDONLY | O_BINARY));
    int nLength = 2;
    bool fResult = false;
    EXPECT_EQ(CaptureMessages([&] { fResult = CopyByteIn(81, &nLength, in.fd) == ImportResult::Written; }), "");
    EXPECT_TRUE(fResult);
    EXPECT_EQ(nLength, 2);
    const BlockWords awFirst = ReadWords(81);
    for (unsigned i = 0; i < 256; ++i)
        ASSERT_EQ(awFirst[i], awData[i] & 0377) << i;
    BlockWords awSecond{};
    awSecond[0] = 0177;
    awSecond[1] = 0200;
    EXPECT_EQ(ReadWords(82), awSecond);
}

TEST(BinaryImport, EmptyFileWritesNothing) {
    TempDisk disk(DiskType::RX01);
    const fs::path path = disk.dir() / "empty";
    WriteText(path, "");
    for (bool fImage : {true, false}) {
        Fd file(open(path.string().c_str(), O_RDONLY | O_BINARY));
        int nLength = 0;
        EXPECT_EQ(fImage ? CopyImageIn(90, &nLength, file.fd) : CopyByteIn(90, &nLength, file.fd),
                  ImportResult::Written);
        EXPECT_EQ(nLength, 0);
    }
}

// ---- Host file faults ---------------------------------------------------------------------

// A host file that takes nothing: every write is refused after an open that
// worked. The always-full device of a POSIX host; on Windows the writing end
// of a pipe whose reading end is closed. -1 where there is none.
int OpenRefusingOutput() {
#ifdef _WIN32
    int afd[2];
    if (_pipe(afd, 4096, _O_BINARY) != 0)
        return -1;
    _close(afd[0]);
    return afd[1];
#else
    return open(testfiles::kFullDevice.c_str(), O_WRONLY);
#endif
}

TEST(HostFaults, ExportsFailWhenTheHostFileTakesNothing) {
    TempDisk disk(DiskType::RX01);
    WriteTextBlocks(10, ToBytes("HELLO\r\n\x1a"));
    {
        const int fd = OpenRefusingOutput();
        if (fd < 0)
            GTEST_SKIP() << "no host file that refuses writes";
        File full(fdopen(fd, "w"), &std::fclose);
        ASSERT_NE(full, nullptr);
        EXPECT_FALSE(CopyAsciiOut(10, 1, full.get()));
    }
    Fd full(OpenRefusingOutput());
    EXPECT_FALSE(CopyImageOut(10, 1, full.fd));
    EXPECT_FALSE(CopyByteOut(10, 1, full.fd));
    // A descriptor that cannot be written at all.
    Fd readOnly(open(disk.path().string().c_str(), O_RDONLY | O_BINARY));
    EXPECT_FALSE(CopyImageOut(10, 1, readOnly.fd));
}

TEST(HostFaults, ImportReadErrorsAreFailures) {
    TempDisk disk(DiskType::RX01);
#ifdef _WIN32
    // Windows opens no directory as a file; reading a file opened for
    // writing only fails as well (EBADF).
    const fs::path unreadable = disk.dir() / "write-only.txt";
    testfiles::WriteFile(unreadable, "some text\n");
    const int nDescriptorFlags = O_WRONLY | O_BINARY;
    // A reading stream over that descriptor.
    auto openStream = [&] { return File(fdopen(open(unreadable.string().c_str(), nDescriptorFlags), "r"), &std::fclose); };
#else
    // Reading a directory fails with EISDIR.
    const fs::path unreadable = disk.dir().path();
    const int nDescriptorFlags = O_RDONLY;
    auto openStream = [&] { return OpenFile(unreadable, "r"); };
#endif
    for (int nMode = 0; nMode < 3; ++nMode) {
        SCOPED_TRACE(nMode);
        Scribble(100, 1);
        int nLength = 5;
        ImportResult result = ImportResult::Written;
        if (nMode == 0) {
            File file = openStream();
            ASSERT_NE(file, nullptr);
            result = CopyAsciiIn(100, &nLength, file.get());
        } else {
            Fd file(open(unreadable.string().c_str(), nDescriptorFlags));
            result = nMode == 1 ? CopyImageIn(100, &nLength, file.fd) : CopyByteIn(100, &nLength, file.fd);
        }
        EXPECT_EQ(result, ImportResult::ReadError);
        EXPECT_EQ(nLength, 0);
        EXPECT_EQ(ReadWords(100)[0], 05252);  // nothing written
    }
}

// ---- Block counts --------------------------------------------------------------------------

// What the text conversion changes is told before anything is written. The
// host text is read as WRITE reads it, in binary: the conversion itself
// ends the text at a control-Z and tells what it cut.
TEST(BlockCounts, TellWhatTheTextConversionChanges) {
    TempDisk disk(DiskType::RX01);
    const struct {
        std::string text;
        bool fCutAtControlZ;
        unsigned nHighBit;
    } cases[] = {
        {"plain\n", false, 0},
        {"before\032after\n", true, 0},
        {"ends in a control-Z\n\032", false, 0},  // nothing after it is lost
        {"caf\xc3\xa9 \xe2\x82\xac\n", false, 5},
        {"\xff\032\xff", true, 1},  // only what is stored is counted
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const fs::path path = disk.dir() / "in.txt";
        WriteText(path, c.text);
        File file = OpenFile(path, "rb");
        unsigned long nBlocks = 0;
        HostTextNotes notes;
        ASSERT_TRUE(CountAsciiBlocks(file.get(), &nBlocks, &notes));
        EXPECT_EQ(notes.fCutAtControlZ, c.fCutAtControlZ);
        EXPECT_EQ(notes.nHighBit, c.nHighBit);
    }
}

TEST(BlockCounts, AgreeWithWhatTheImportsWrite) {
    TempDisk disk(DiskType::RX01);
    const std::string line100 = std::string(100, 'x') + "\n";
    const std::string texts[] = {
        "",
        "abc",
        line100 + line100 + line100 + std::string(75, 'y') + "\n",
        line100 + line100 + line100 + std::string(76, 'y') + "\n",
        std::string(1000, 'l') + "\n",
        std::string(255, 'm') + "\r\n" + std::string(3000, 'n'),
    };
    for (const std::string& text : texts) {
        const fs::path path = disk.dir() / "in.txt";
        WriteText(path, text);
        File file = OpenFile(path, "rb");
        unsigned long nBlocks = 0;
        ASSERT_TRUE(CountAsciiBlocks(file.get(), &nBlocks));
        // The stream is back at its start for the import.
        int nLength = 20;
        ASSERT_EQ(CopyAsciiIn(110, &nLength, file.get()), ImportResult::Written);
        EXPECT_EQ(nBlocks, static_cast<unsigned long>(nLength)) << text.size();
    }

    for (std::size_t cbFile : {0u, 1u, 255u, 256u, 257u, 383u, 384u, 385u, 18816u}) {
        const fs::path path = disk.dir() / "in.bin";
        WriteText(path, std::string(cbFile, '\x55'));
        for (unsigned cbBlock : {OS8_BYTE_BLOCK_SIZE, OS8_BLOCK_SIZE}) {
            Fd file(open(path.string().c_str(), O_RDONLY | O_BINARY));
            unsigned long nBlocks = 0;
            ASSERT_TRUE(CountBinaryBlocks(file.fd, cbBlock, &nBlocks));
            int nLength = 100;
            CaptureMessages([&] {
                if (cbBlock == OS8_BYTE_BLOCK_SIZE)
                    CopyImageIn(110, &nLength, file.fd);
                else
                    CopyByteIn(110, &nLength, file.fd);
            });
            EXPECT_EQ(nBlocks, static_cast<unsigned long>(nLength)) << cbFile << " " << cbBlock;
        }
    }
}

}  // namespace

// ---- Files of several runs ---------------------------------------------------------

// Files longer than one run of blocks go in and out whole in every mode, and
// a file one block too large for its room is refused.
TEST(LongFiles, GoInAndOutWholeInEveryMode) {
    TempDisk disk(DiskType::RX01);
    const unsigned nBlocks = 2 * DISK_RUN_BLOCKS + 5;
    std::string text;
    for (unsigned nLine = 0; text.size() < (nBlocks - 1) * 380u; ++nLine)
        text += "Line " + std::to_string(nLine) + " of a long text.\n";
    std::string binary;
    for (unsigned i = 0; i < nBlocks * OS8_BYTE_BLOCK_SIZE; ++i)
        binary += static_cast<char>((i * 7 + i / 384) & 0xFF);

    for (TransferMode mode : {TransferMode::Ascii, TransferMode::Image, TransferMode::Byte}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::string data =
            mode == TransferMode::Ascii ? text
            : mode == TransferMode::Image ? binary
                                          : binary.substr(0, nBlocks * OS8_BLOCK_SIZE);
        const fs::path in = disk.dir() / "in";
        WriteText(in, data);
        unsigned long nNeeded = 0;
        {
            File stream = OpenFile(in, "rb");
            Fd file(open(in.string().c_str(), O_RDONLY | O_BINARY));
            ASSERT_TRUE(mode == TransferMode::Ascii
                            ? CountAsciiBlocks(stream.get(), &nNeeded)
                            : CountBinaryBlocks(file.fd, mode == TransferMode::Image ? 384 : 256, &nNeeded));
            ASSERT_GT(nNeeded, DISK_RUN_BLOCKS);
            int nLength = static_cast<int>(nNeeded) - 1;
            EXPECT_EQ(CopyIn(mode, 10, &nLength, stream.get(), file.fd), ImportResult::NoRoom);
            EXPECT_EQ(nLength, 0);
        }
        {
            File stream = OpenFile(in, "rb");
            Fd file(open(in.string().c_str(), O_RDONLY | O_BINARY));
            int nLength = static_cast<int>(nNeeded);
            EXPECT_EQ(CopyIn(mode, 10, &nLength, stream.get(), file.fd), ImportResult::Written);
            EXPECT_EQ(nLength, static_cast<int>(nNeeded));
        }
        const fs::path out = disk.dir() / "out";
        fs::remove(out);
        if (mode == TransferMode::Ascii) {
            File stream = OpenFile(out, "w");
            EXPECT_TRUE(CopyAsciiOut(10, static_cast<unsigned>(nNeeded), stream.get()));
        } else {
            Fd file(open(out.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600));
            EXPECT_TRUE(mode == TransferMode::Image ? CopyImageOut(10, static_cast<unsigned>(nNeeded), file.fd)
                                                    : CopyByteOut(10, static_cast<unsigned>(nNeeded), file.fd));
        }
        EXPECT_TRUE(ReadText(out) == (mode == TransferMode::Ascii ? testfiles::HostText(data) : data));
    }
}
