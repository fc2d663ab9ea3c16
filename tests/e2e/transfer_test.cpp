// READ and WRITE end to end: round trips on every device type in each
// mode, the system head and boot block of real media, a whole real disk
// copied out and into a fresh image, and host files that cannot be read or
// cannot take the data.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>

#include "harness.h"

namespace orvatest {
namespace {

// One line of a full DIRECTORY listing, up to the date column.
std::string ListingStart(const std::string& name, int nBlocks) {
    char text[64];
    std::snprintf(text, sizeof text, "%-9s%5d   %s  (", name.c_str(), nBlocks, TodayColumn().c_str());
    return text;
}

std::string RandomBytes(std::size_t cb, unsigned seed) {
    std::mt19937 engine(seed);
    std::string bytes(cb, '\0');
    for (char& c : bytes)
        c = static_cast<char>(engine() & 0xFF);
    return bytes;
}

// Host text of printable lines (tabs and form feeds included) of varying
// length; *pnStored is the number of characters OS/8 stores for it, each
// line with its carriage return and line feed.
std::string RandomText(unsigned nLines, unsigned seed, std::size_t* pnStored) {
    std::mt19937 engine(seed);
    std::string text;
    *pnStored = 0;
    for (unsigned n = 0; n < nLines; ++n) {
        std::size_t nLength = engine() % 120;
        std::string line;
        for (std::size_t i = 0; i < nLength; ++i) {
            unsigned v = engine() % 100;
            line += v == 0 ? '\t' : v == 1 ? '\f' : static_cast<char>(' ' + engine() % 95);
        }
        text += line + "\n";
        *pnStored += line.size() + 2;
    }
    return text;
}

unsigned AsciiBlocks(std::size_t nStored) { return static_cast<unsigned>((nStored + 1 + 383) / 384); }

bool HasFault(const std::string& err) {
    return err.find("%ORVA-E,") != std::string::npos || err.find("%ORVA-W,") != std::string::npos;
}

struct DeviceCase {
    const char* pszLabel;
    const char* pszMount;  // the MOUNT command that creates the image
    const char* pszImage;  // the image file name it reports
    bool fUnitB;           // work on the second unit
};

class RoundTrip : public testing::TestWithParam<DeviceCase> {};

// Two host files in each mode are written with host wildcards, listed, and
// read back: the text with host line ends, the image and byte data
// byte for byte, with the block counts the modes give and today's date.
TEST_P(RoundTrip, EveryModeGivesBackWhatWasWritten) {
    const DeviceCase& device = GetParam();
    TempDir dir;
    for (const char* pszSub : {"text", "image", "bytes", "outtext", "outimage", "outbytes"})
        fs::create_directory(dir / pszSub);
    std::size_t nStoredOne = 0, nStoredTwo = 0;
    WriteFile(dir / "text/one.txt", RandomText(40, 1, &nStoredOne));
    WriteFile(dir / "text/two.txt", RandomText(900, 2, &nStoredTwo));
    WriteFile(dir / "image/pic.img", RandomBytes(7 * 384, 3));
    WriteFile(dir / "image/rom.img", RandomBytes(384, 4));
    WriteFile(dir / "bytes/raw.bin", RandomBytes(5 * 256, 5));
    WriteFile(dir / "bytes/dat.bin", RandomBytes(2 * 256, 6));

    std::string script = std::string(device.pszMount) + "\n";
    if (device.fUnitB)
        script += "PARTITION B\n";
    script +=
        "WRITE text\\*.*\n"
        "WRITE image\\*.* /IMAGE\n"
        "WRITE bytes\\*.* /BYTE\n"
        "DIRECTORY\n"
        "READ *.TX outtext\\\n"
        "READ *.IM outimage\\ /IMAGE\n"
        "READ *.BI outbytes\\ /BYTE\n";
    if (device.fUnitB)
        script += "PARTITION A\nDIRECTORY\n";
    OrvaRun run = RunOrva(dir.path(), script);

    // On unit 1 the listing of the empty unit 0 at the end warns.
    const std::string kUnit0 = "Directory of disk.rk5, partition 0\n";
    EXPECT_FALSE(HasFault(device.fUnitB ? run.err.substr(0, run.err.find(kUnit0)) : run.err)) << run.err;
    EXPECT_NE(run.err.find(std::string("virtual disk file ") + device.pszImage + " initialized"), std::string::npos)
        << run.err;
    for (const char* pszWrote : {"wrote text\\one.txt to ONE.TX", "wrote text\\two.txt to TWO.TX",
                                 "wrote image\\pic.img to PIC.IM", "wrote image\\rom.img to ROM.IM",
                                 "wrote bytes\\raw.bin to RAW.BI", "wrote bytes\\dat.bin to DAT.BI"})
        EXPECT_NE(run.err.find(pszWrote), std::string::npos) << pszWrote << "\n" << run.err;
    const std::pair<std::string, unsigned> kListed[] = {
        {"ONE.TX", AsciiBlocks(nStoredOne)}, {"TWO.TX", AsciiBlocks(nStoredTwo)},
        {"PIC.IM", 7}, {"ROM.IM", 1}, {"RAW.BI", 5}, {"DAT.BI", 2},
    };
    for (const auto& [name, nBlocks] : kListed)
        EXPECT_NE(run.err.find(ListingStart(name, static_cast<int>(nBlocks))), std::string::npos)
            << name << " " << nBlocks << "\n" << run.err;
    EXPECT_GT(AsciiBlocks(nStoredTwo), 100u);

    EXPECT_EQ(ReadFile(dir / "outtext/ONE.TX"), ProgramHostText(ReadFile(dir / "text/one.txt")));
    EXPECT_EQ(ReadFile(dir / "outtext/TWO.TX"), ProgramHostText(ReadFile(dir / "text/two.txt")));
    EXPECT_EQ(ReadFile(dir / "outimage/PIC.IM"), ReadFile(dir / "image/pic.img"));
    EXPECT_EQ(ReadFile(dir / "outimage/ROM.IM"), ReadFile(dir / "image/rom.img"));
    EXPECT_EQ(ReadFile(dir / "outbytes/RAW.BI"), ReadFile(dir / "bytes/raw.bin"));
    EXPECT_EQ(ReadFile(dir / "outbytes/DAT.BI"), ReadFile(dir / "bytes/dat.bin"));

    if (device.fUnitB) {
        // The files went to unit 1; unit 0 was left empty.
        EXPECT_NE(run.err.find("Directory of disk.rk5, partition 1"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(kUnit0 + "%ORVA-W, no files found to match *.*"), std::string::npos) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, RoundTrip,
                         testing::Values(DeviceCase{"RX01", "MOUNT /RX01 /INITIALIZE disk", "disk.rx1", false},
                                         DeviceCase{"RX50", "MOUNT /RX50 /INITIALIZE disk", "disk.rx5", false},
                                         DeviceCase{"NB03", "MOUNT /NB03 /INITIALIZE disk", "disk.nb3", false},
                                         DeviceCase{"HE02", "MOUNT /HE02 /INITIALIZE disk", "disk.he2", false},
                                         DeviceCase{"RK05Unit0", "MOUNT /RK05 /INITIALIZE disk", "disk.rk5", false},
                                         DeviceCase{"RK05Unit1", "MOUNT /RK05 /INITIALIZE disk", "disk.rk5", true},
                                         DeviceCase{"TU56", "MOUNT /TU56 /INITIALIZE disk", "disk.tu56", false},
                                         DeviceCase{"RX02", "MOUNT /RX02 /INITIALIZE disk", "disk.rx2", false}),
                         [](const testing::TestParamInfo<DeviceCase>& info) { return info.param.pszLabel; });

// The twelve-bit word i of block nBlock of an image, taken from the raw
// image bytes by the device's layout: an RX02 floppy, a TU56 tape (129-word
// records) or, with 128-word records, a TU56 tape of that form ("TU56/128")
// and unit 0 of an RK05 pack ("RK05").
unsigned RawWord(const std::string& disk, const std::string& type, unsigned nBlock, unsigned i) {
    auto byte = [&](std::size_t at) {
        return at < disk.size() ? static_cast<unsigned>(static_cast<std::uint8_t>(disk[at])) : 0u;
    };
    unsigned nHalf = i / 128, k = i % 128;
    if (type == "RX02") {
        unsigned nRecord = 2 * nBlock + nHalf;
        unsigned nTrack = nRecord / 26 + 1, nSector = 3 * (nRecord % 26) % 26 + 1;
        std::size_t at = (nTrack * 26 + nSector - 1) * 256u + 3 * (k / 2);
        return k % 2 == 0 ? (byte(at) << 4) | (byte(at + 1) >> 4)
                          : ((byte(at + 1) & 15) << 8) | byte(at + 2);
    }
    std::size_t cbRecord = type == "TU56" ? 258 : 256;
    std::size_t at = (2 * nBlock + nHalf) * cbRecord + 2 * k;
    return byte(at) | ((byte(at + 1) & 15) << 8);
}

// The image form of block nBlock of an image (see RawWord): two words in
// three bytes, the low eight bits of each and then their high four bits.
std::string BlockImage(const std::string& disk, const std::string& type, unsigned nBlock) {
    std::string image;
    for (unsigned g = 0; g < 128; ++g) {
        unsigned a = RawWord(disk, type, nBlock, 2 * g), b = RawWord(disk, type, nBlock, 2 * g + 1);
        image += static_cast<char>(a & 0xFF);
        image += static_cast<char>(b & 0xFF);
        image += static_cast<char>(((a >> 8) << 4) | (b >> 8));
    }
    return image;
}

TEST(RealSystemAreas, RealSystemHeadAndBootBlockGoOutAndBackUnchanged) {
    if (!HaveFixtures())
        LEAVE_WITHOUT_FIXTURE(FixturesDir());
    TempDir dir;
    fs::copy_file(FixturesDir() / "os8-v3d.rk05", dir / "sys.rk05");
    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /RK05 sys.rk05\n"
                          "READ /SYSTEM head.img\n"
                          "READ /BOOT boot.img\n"
                          "MOUNT /RK05 /INITIALIZE /SYSTEM fresh\n"
                          "WRITE /SYSTEM head.img\n"
                          "WRITE /BOOT boot.img\n"
                          "READ /SYSTEM again.img\n"
                          "READ /BOOT bootagain.img\n");
    EXPECT_FALSE(HasFault(run.err)) << run.err;
    for (const char* pszDone : {"OS/8 system head copied to head.img", "boot block copied to boot.img",
                                "OS/8 system head written from head.img", "boot block written from boot.img"})
        EXPECT_NE(run.err.find(pszDone), std::string::npos) << pszDone << "\n" << run.err;

    std::string disk = ReadFile(dir / "sys.rk05");
    std::string head;
    for (unsigned nBlock = 7; nBlock <= 55; ++nBlock)
        head += BlockImage(disk, "RK05", nBlock);
    std::string head1 = ReadFile(dir / "head.img");
    EXPECT_EQ(head1.size(), 18816u);
    EXPECT_TRUE(head1 == head) << "system head differs from blocks 7-55";
    std::string boot1 = ReadFile(dir / "boot.img");
    EXPECT_EQ(boot1.size(), 384u);
    EXPECT_TRUE(boot1 == BlockImage(disk, "RK05", 0)) << "boot block differs from block 0";
    EXPECT_TRUE(ReadFile(dir / "again.img") == head1);
    EXPECT_TRUE(ReadFile(dir / "bootagain.img") == boot1);
}

// (name, length) of every file of a listing DIRECTORY wrote to a host file.
std::multiset<std::pair<std::string, int>> ListedFiles(const fs::path& listing) {
    std::multiset<std::pair<std::string, int>> files;
    std::istringstream lines(ReadFile(listing));
    std::string line;
    while (std::getline(lines, line)) {
        char name[16];
        int nLength = 0;
        if (line.size() > 28 && line[28] == '(' && std::sscanf(line.c_str(), "%15s %d", name, &nLength) == 2)
            files.emplace(name, nLength);
    }
    return files;
}

// (name, length) of every file of a fixture listing.
std::multiset<std::pair<std::string, int>> FixtureFiles(const fs::path& listing) {
    std::multiset<std::pair<std::string, int>> files;
    std::istringstream lines(ReadFile(listing));
    std::string name;
    int nLength = 0;
    std::string rest;
    while (lines >> name >> nLength && std::getline(lines, rest))
        if (name != "<empty>")
            files.emplace(name, nLength);
    return files;
}

TEST(RealMediaCopy, EveryFileOfBothUnitsRoundTripsThroughAFreshImage) {
    if (!HaveFixtures())
        LEAVE_WITHOUT_FIXTURE(FixturesDir());
    TempDir dir;
    fs::copy_file(FixturesDir() / "os8-v3d.rk05", dir / "media.rk05");
    for (const char* pszSub : {"u0", "u1", "v0", "v1"})
        fs::create_directory(dir / pszSub);
    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /RK05 media.rk05\n"
                          "DIRECTORY *.* old0.lst\n"
                          "READ *.* u0\\ /IMAGE\n"
                          "PARTITION B\n"
                          "DIRECTORY *.* old1.lst\n"
                          "READ *.* u1\\ /IMAGE\n"
                          "MOUNT /RK05 /INITIALIZE fresh\n"
                          "WRITE u0\\*.* /IMAGE\n"
                          "PARTITION B\n"
                          "WRITE u1\\*.* /IMAGE\n"
                          "DIRECTORY *.* new1.lst\n"
                          "READ *.* v1\\ /IMAGE\n"
                          "PARTITION A\n"
                          "DIRECTORY *.* new0.lst\n"
                          "READ *.* v0\\ /IMAGE\n");
    EXPECT_FALSE(HasFault(run.err)) << run.err;

    for (const char* pszUnit : {"0", "1"}) {
        std::string unit = pszUnit;
        auto oldFiles = ListedFiles(dir / ("old" + unit + ".lst"));
        EXPECT_EQ(oldFiles.size(), unit == "0" ? 203u : 74u);
        EXPECT_EQ(oldFiles, FixtureFiles(FixturesDir() / ("os8-v3d.unit" + unit + ".lst"))) << "unit " << unit;
        EXPECT_EQ(ListedFiles(dir / ("new" + unit + ".lst")), oldFiles) << "unit " << unit;
        std::size_t nCompared = 0;
        for (const auto& entry : fs::directory_iterator(dir / ("u" + unit))) {
            std::string name = entry.path().filename().string();
            std::string original = ReadFile(entry.path());
            EXPECT_EQ(original.size() % 384, 0u) << name;
            EXPECT_TRUE(ReadFile(dir / ("v" + unit) / name) == original) << "unit " << unit << " " << name;
            ++nCompared;
        }
        EXPECT_EQ(nCompared, oldFiles.size()) << "unit " << unit;
    }
}

// A file that fills a whole tape or floppy is written, read back unchanged,
// and lies on the image where the device's layout puts each word; the
// 128-word tape form keeps its size.
TEST(FullMedium, AFileThatFillsTheMediumGoesOnAndComesBack) {
    struct MediumCase {
        std::string type;
        std::string mount;
        std::string image;
        std::uintmax_t cbImage;
        unsigned nFree;
    };
    const MediumCase cases[] = {
        {"TU56", "MOUNT /TU56 /INITIALIZE tape", "tape.tu56", 380292, 730},
        {"TU56/128", "MOUNT /TU56 /INITIALIZE /NOCONFIRM short.tu56", "short.tu56", 377344, 730},
        {"RX02", "MOUNT /RX02 /INITIALIZE floppy", "floppy.rx2", 512512, 981},
    };
    for (const MediumCase& medium : cases) {
        SCOPED_TRACE(medium.type);
        TempDir dir;
        if (medium.type == "TU56/128") {
            WriteFile(dir / medium.image, "");
            fs::resize_file(dir / medium.image, medium.cbImage);
        }
        std::string data = RandomBytes(medium.nFree * 384u, medium.nFree);
        WriteFile(dir / "full.img", data);
        WriteFile(dir / "more.img", RandomBytes(384, 1));
        OrvaRun run = RunOrva(dir.path(), medium.mount +
                                              "\nWRITE full.img /IMAGE\nWRITE more.img /IMAGE\n"
                                              "DIRECTORY\nREAD FULL.IM back.img /IMAGE\n");
        EXPECT_NE(run.err.find(ListingStart("FULL.IM", static_cast<int>(medium.nFree)) + "0007)"),
                  std::string::npos) << run.err;
        EXPECT_NE(run.err.find("%ORVA-W, no room (disk full) for MORE.IM"), std::string::npos) << run.err;
        EXPECT_TRUE(ReadFile(dir / "back.img") == data);

        std::string disk = ReadFile(dir / medium.image);
        EXPECT_EQ(disk.size(), medium.cbImage);
        for (unsigned n = 0; n < medium.nFree; ++n) {
            ASSERT_TRUE(BlockImage(disk, medium.type, 7 + n) == data.substr(n * 384u, 384)) << "block " << 7 + n;
        }
    }
}

// A host that cannot take the data: a file size limit stops the host file
// part way, and /dev/full (reached through a link in the test directory)
// takes nothing. The error is reported, a partial regular file is removed
// (the device and the link to it are left alone), no success is claimed,
// and the next file is read.
TEST(HostFaults, ReadIntoAHostThatCannotTakeTheDataReportsAndCleansUp) {
    TempDir dir;
    std::size_t nStored = 0;
    WriteFile(dir / "big.img", RandomBytes(200 * 384, 7));
    WriteFile(dir / "small.img", RandomBytes(384, 8));
    WriteFile(dir / "big.txt", RandomText(1500, 9, &nStored));
    WriteFile(dir / "small.txt", "short text\n");
    OrvaRun setup = RunOrva(dir.path(),
                            "MOUNT /RX01 /INITIALIZE disk\n"
                            "WRITE big.img,small.img /IMAGE\n"
                            "WRITE big.txt,small.txt\n");
    ASSERT_FALSE(HasFault(setup.err)) << setup.err;
    ASSERT_GT(nStored, 41000u);

    WriteFile(dir / "commands",
              "MOUNT /RX01 disk\n"
              "READ BIG.IM,SMALL.IM outi\\ /IMAGE\n"
              "READ BIG.IM,SMALL.IM outb\\ /BYTE\n"
              "READ BIG.TX,SMALL.TX outa\\\n"
              "READ SMALL.TX full.TX\n"
              "READ SMALL.IM full.TX /IMAGE\n");
    // Writing past the limit fails with EFBIG once SIGXFSZ is ignored; the
    // limit is 40 blocks of 512 or 1024 bytes, as the shell counts them.
    std::string output;
    ASSERT_EQ(RunShell(dir.path(),
                       "mkdir outi outb outa\n"
                       "ln -s /dev/full full.TX\n"
                       "trap '' XFSZ\n"
                       "ulimit -f 40\n"
                       "\"$ORVA\" <commands >/dev/null 2>err.txt\n",
                       &output),
              0)
        << output;
    EXPECT_EQ(ReadFile(dir / "err.txt"),
              "ORVA>%ORVA-I, mounted virtual disk on file disk.rx1\n"
              "ORVA>%ORVA-E, error writing file outi\\BIG.IM (File too large)\n"
              "%ORVA-I, read SMALL.IM into image file outi\\SMALL.IM\n"
              "ORVA>%ORVA-E, error writing file outb\\BIG.IM (File too large)\n"
              "%ORVA-I, read SMALL.IM into byte file outb\\SMALL.IM\n"
              "ORVA>%ORVA-E, error writing file outa\\BIG.TX (File too large)\n"
              "%ORVA-I, read SMALL.TX into ASCII file outa\\SMALL.TX\n"
              "ORVA>%ORVA-E, error writing file full.TX (No space left on device)\n"
              "ORVA>%ORVA-E, unable to write image file full.TX (File exists)\n"
              "ORVA>%ORVA-I, dismounting disk disk.rx1\n");
    EXPECT_FALSE(fs::exists(dir / "outi/BIG.IM"));
    EXPECT_FALSE(fs::exists(dir / "outb/BIG.IM"));
    EXPECT_FALSE(fs::exists(dir / "outa/BIG.TX"));
    EXPECT_EQ(ReadFile(dir / "outi/SMALL.IM"), ReadFile(dir / "small.img"));
    EXPECT_EQ(ReadFile(dir / "outa/SMALL.TX"), "short text\n");
    EXPECT_EQ(fs::file_size(dir / "outb/SMALL.IM"), 256u);
    EXPECT_TRUE(fs::is_symlink(dir / "full.TX"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A host file that cannot be opened purges nothing: the older OS/8 file of
// that name stays as it was.
TEST(HostFaults, UnreadableHostFileLeavesTheOldVersion) {
    TempDir dir;
    std::string hostName;
    if (geteuid() != 0) {
        WriteFile(dir / "locked.txt", "secret\n");
        fs::permissions(dir / "locked.txt", fs::perms::none);
        hostName = "locked.txt";
    } else {
        // Root reads any file by its mode bits; a write-only kernel
        // setting still refuses it.
        int fd = open("/proc/sys/vm/drop_caches", O_RDONLY);
        if (fd >= 0)
            close(fd);
        if (fd >= 0 || errno != EACCES)
            GTEST_SKIP() << "no host file that refuses to open";
        hostName = "\\proc\\sys\\vm\\drop_caches";
    }
    WriteFile(dir / "old.txt", "the old version\n");
    OrvaRun run = RunOrva(dir.path(),
                          "MOUNT /RX01 /INITIALIZE disk\n"
                          "WRITE old.txt KEEP.TX\n"
                          "WRITE " + hostName + " KEEP.TX\n"
                          "READ KEEP.TX kept.txt\n");
    EXPECT_EQ(run.err,
              "ORVA>%ORVA-I, virtual disk file disk.rx1 initialized\n"
              "ORVA>%ORVA-I, wrote old.txt to KEEP.TX\n"
              "ORVA>%ORVA-E, unable to read ASCII file " + hostName + " (Permission denied)\n"
              "ORVA>%ORVA-I, read KEEP.TX into ASCII file kept.txt\n"
              "ORVA>%ORVA-I, dismounting disk disk.rx1\n");
    EXPECT_EQ(ReadFile(dir / "kept.txt"), "the old version\n");
}

}  // namespace
}  // namespace orvatest
