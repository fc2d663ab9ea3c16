// Device faults in the middle of a command: the command reports the fault
// and ends, later commands still run, the directory on disk is the one from
// before or from after the command (a WRITE over an existing file leaves
// the old version or the new one, never neither), no disk is left half
// initialised, and no host file is left open or half written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "disk.h"
#include "orva.h"
#include "os8.h"
#include "shell.h"
#include "testfiles.h"
#ifdef _WIN32
#include "fake_drive.h"
#endif

namespace {

namespace fs = std::filesystem;
using testfiles::ReadFile;
using testfiles::WriteFile;

// Each test runs in a fresh temporary directory with "today" fixed, and
// leaves no fault armed and no disk mounted.
class CommandFault : public testing::Test {
protected:
    void SetUp() override {
        SetProgramName("ORVA");
        SetTodayForTesting(8, 12, 2026);
        m_previous = fs::current_path();
        fs::current_path(m_dir.path());
    }
    void TearDown() override {
        SetBlockTransferFault(0);
        if (IsDiskMounted())
            CloseDisk();
        SetTodayForTesting(0, 0, 0);
        fs::current_path(m_previous);
    }
    testfiles::TempDir m_dir;
    fs::path m_previous;
};

// The descriptors open now (none are listed on Windows).
std::size_t OpenDescriptors() {
    std::size_t n = 0;
#ifndef _WIN32
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++n;
#endif
    return n;
}

// Whether the host file is closed. A POSIX host counts the descriptors open
// now against nOpen, those open before; Windows, which lists no descriptors
// (and under wine shows those of wine itself), removes no file that is still
// open, so there the file is removed.
bool IsClosed([[maybe_unused]] const fs::path& file, [[maybe_unused]] std::size_t nOpen) {
#ifdef _WIN32
    std::error_code ec;
    return fs::remove(file, ec);
#else
    return OpenDescriptors() == nOpen;
#endif
}

// ---- Every transfer of a command fails in turn ----------------------------------

// A command whose transfers fail, and the image it starts from.
struct FaultCase {
    const char* pszName;
    const char* pszImage;               // the image file
    std::vector<const char*> setup;     // builds the image the command starts from
    const char* pszMount;               // mounts that image
    const char* pszCommand;             // the command whose transfers fail
    const char* pszReplaced = nullptr;  // a file the command replaces
};

// The line of a unit's listing that describes the file, empty when there is
// none.
std::string EntryLine(const std::string& listing, const std::string& name) {
    for (std::size_t nAt = 0; nAt < listing.size();) {
        std::size_t nEnd = listing.find('\n', nAt);
        std::string line = listing.substr(nAt, nEnd - nAt);
        if (line.rfind(name + " ", 0) == 0)
            return line;
        nAt = nEnd == std::string::npos ? listing.size() : nEnd + 1;
    }
    return "";
}

// A checksum of the data blocks of a file.
std::uint32_t DataChecksum(int nBlock, int nLength) {
    std::uint32_t nSum = 2166136261u;
    BlockWords awData{};
    for (int i = 0; i < nLength; ++i) {
        ReadBlock(static_cast<unsigned>(nBlock + i), awData.data());
        for (std::uint16_t w : awData)
            nSum = (nSum ^ w) * 16777619u;
    }
    return nSum;
}

// Every entry of each unit of the mounted disk (free areas included, files
// with a checksum of their data), or "damaged" when the scan gives up.
std::vector<std::string> DirectoryOnDisk() {
    std::vector<std::string> units;
    SelectPartition(0);
    for (std::uint32_t nUnit = 0; nUnit == 0 || SelectPartition(nUnit); ++nUnit) {
        std::string listing;
        try {
            OS8_CONTEXT context;
            InitContext(&context);
            std::string name;
            int nBlock = 0, nLength = 0;
            std::uint16_t wDate = 0;
            bool fTentative = false;
            while (NextEntry(&context, &name, &nBlock, &nLength, &wDate, &fTentative)) {
                listing += name + " " + std::to_string(nBlock) + " " + std::to_string(nLength) + " " +
                           std::to_string(wDate) + (fTentative ? " tentative" : "");
                if (!name.empty())
                    listing += " data " + std::to_string(DataChecksum(nBlock, nLength));
                listing += "\n";
            }
        } catch (const CommandAbort&) {
            listing += "damaged\n";
        }
        units.push_back(listing);
    }
    SelectPartition(0);
    return units;
}

std::string RunLine(const std::string& line) {
    testing::internal::CaptureStderr();
    DoCommand(line);
    return testing::internal::GetCapturedStderr();
}

// Mounts the image again as it is on disk.
void Remount(const FaultCase& c) {
    if (IsDiskMounted())
        CloseDisk();
    RunLine(c.pszMount);
    ASSERT_TRUE(IsDiskMounted()) << c.pszMount;
}

// Puts the prepared image back and mounts it.
void Restore(const FaultCase& c, const std::string& image) {
    if (IsDiskMounted())
        CloseDisk();
    WriteFile(c.pszImage, image);
    Remount(c);
}

// Runs the command once without a fault, then once for each of its
// transfers with that transfer failing.
void FailEveryTransfer(const FaultCase& c) {
    if (IsDiskMounted())
        CloseDisk();
    fs::remove(c.pszImage);
    for (const char* pszLine : c.setup)
        RunLine(pszLine);
    ASSERT_TRUE(IsDiskMounted());
    CloseDisk();
    const std::string image = ReadFile(c.pszImage);

    // Without a fault: the number of transfers, and the directory before
    // and after.
    ASSERT_NO_FATAL_FAILURE(Restore(c, image));
    const std::vector<std::string> before = DirectoryOnDisk();
    const unsigned long nStart = GetBlockTransferCount();
    const std::string clean = RunLine(c.pszCommand);
    const unsigned long nTransfers = GetBlockTransferCount() - nStart;
    ASSERT_EQ(clean.find("-E,"), std::string::npos) << clean;
    ASSERT_NO_FATAL_FAILURE(Remount(c));
    const std::vector<std::string> after = DirectoryOnDisk();
    ASSERT_NE(before, after);
    ASSERT_EQ(before.size(), after.size());
    ASSERT_GT(nTransfers, 0u);

    for (unsigned long n = 1; n <= nTransfers; ++n) {
        SCOPED_TRACE("transfer " + std::to_string(n) + " of " + std::to_string(nTransfers));
        ASSERT_NO_FATAL_FAILURE(Restore(c, image));
        SetBlockTransferFault(n);
        const std::string faulted = RunLine(c.pszCommand);
        SetBlockTransferFault(0);
        EXPECT_NE(faulted.find("%ORVA-E, unable to "), std::string::npos) << faulted;

        // The program goes on: the disk mounts and lists again.
        ASSERT_NO_FATAL_FAILURE(Remount(c));
        const std::string listing = RunLine("DIRECTORY") + RunLine("PARTITION 1") + RunLine("DIRECTORY");
        EXPECT_EQ(listing.find("damaged"), std::string::npos) << listing;
        EXPECT_NE(listing.find("Total of "), std::string::npos) << listing;
        // Each unit holds its directory from before or from after.
        const std::vector<std::string> directory = DirectoryOnDisk();
        ASSERT_EQ(directory.size(), before.size());
        for (std::size_t nUnit = 0; nUnit < directory.size(); ++nUnit)
            EXPECT_TRUE(directory[nUnit] == before[nUnit] || directory[nUnit] == after[nUnit])
                << "unit " << nUnit << " before:\n" << before[nUnit] << "after:\n" << after[nUnit]
                << "on disk:\n" << directory[nUnit];
        if (c.pszReplaced != nullptr) {
            // The old version (name, blocks, date and data) or the new one.
            const std::string old = EntryLine(before[0], c.pszReplaced);
            const std::string now = EntryLine(directory[0], c.pszReplaced);
            ASSERT_NE(old, "");
            EXPECT_TRUE(now == old || now == EntryLine(after[0], c.pszReplaced))
                << c.pszReplaced << " on disk: [" << now << "]";
        }
    }
}

const FaultCase kCases[] = {
    {"WriteRX01", "disk.rx1",
     {"MOUNT /RX01 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE"},
     "MOUNT /RX01 disk", "WRITE big.tx"},
    {"WriteImageNB03", "disk.nb3",
     {"MOUNT /NB03 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE"},
     "MOUNT /NB03 disk", "WRITE big.tx NEW.BN /IMAGE"},
    // The new version goes beside the old one, which goes when it is closed.
    {"ReplaceTextRX01", "disk.rx1",
     {"MOUNT /RX01 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE", "WRITE big.tx"},
     "MOUNT /RX01 disk", "WRITE one.tx BIG.TX", "BIG.TX"},
    {"ReplaceImageNB03", "disk.nb3",
     {"MOUNT /NB03 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE"},
     "MOUNT /NB03 disk", "WRITE big.tx TWO.BN /IMAGE", "TWO.BN"},
    {"DeleteRX01", "disk.rx1",
     {"MOUNT /RX01 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE", "WRITE big.tx"},
     "MOUNT /RX01 disk", "DELETE TWO.BN"},
    {"InitializeRX01", "disk.rx1",
     {"MOUNT /RX01 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "WRITE two.bn /IMAGE"},
     "MOUNT /RX01 disk", "MOUNT /RX01 /INITIALIZE /NOCONFIRM /SYSTEM disk"},
    {"InitializeRK05", "disk.rk5",
     {"MOUNT /RK05 /INITIALIZE /NOCONFIRM disk", "WRITE one.tx", "PARTITION 1", "WRITE two.bn"},
     "MOUNT /RK05 disk", "MOUNT /RK05 /INITIALIZE /NOCONFIRM disk"},
};

TEST_F(CommandFault, EveryTransferFaultLeavesTheOldOrTheNewDirectory) {
    WriteFile("one.tx", "The first file.\n");
    WriteFile("two.bn", std::string(2000, '\x5a'));
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += "Line " + std::to_string(i) + " of a text that takes a few blocks.\n";
    WriteFile("big.tx", text);
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_NO_FATAL_FAILURE(FailEveryTransfer(c));
    }
}

// ---- Faults in MOUNT, DIRECTORY and READ ------------------------------------------

// MOUNT /INITIALIZE of a new RK05 image writes blocks 1-6 of unit 0 and
// then of unit 1; a fault at any of them leaves nothing mounted (not a disk
// with one unit zeroed, or with unit 1 current).
TEST_F(CommandFault, InitializeFaultLeavesNothingMounted) {
    for (unsigned long nFault : {1ul, 6ul, 7ul, 12ul}) {
        SCOPED_TRACE(nFault);
        std::string name = (m_dir / ("NEW" + std::to_string(nFault))).string();
        SetBlockTransferFault(nFault);
        testing::internal::CaptureStderr();
        EXPECT_THROW(DoMount("/RK05/INITIALIZE", name, ""), CommandAbort);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(IsDiskMounted());
        EXPECT_NE(err.find("unable to write block"), std::string::npos) << err;
        EXPECT_NE(err.find("dismounting disk " + name + ".rk5"), std::string::npos) << err;
    }
}

// A drive of two partitions: a whole-drive image file on a POSIX host, the
// fake volume E: on Windows.
std::string MakeDrive(const fs::path& dir) {
#ifdef _WIN32
    (void)dir;
    fakedrive::Reset(2 * 4096);
    return "E:";
#else
    fs::path drive = dir / "DRIVE.IMG";
    WriteFile(drive, "");
    fs::resize_file(drive, 2 * 4096 * 512);
    return drive.string();
#endif
}

TEST_F(CommandFault, BootBlockReadFaultLeavesTheDriveDismounted) {
    const std::string drive = MakeDrive(m_dir.path());
    SetBlockTransferFault(1);
    testing::internal::CaptureStderr();
    EXPECT_THROW(DoMount("/PHYSICAL/HE02", drive, ""), CommandAbort);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(IsDiskMounted());
    EXPECT_NE(err.find("unable to read block 0"), std::string::npos) << err;
}

// The listing abandoned by a fault is closed: what was listed is in the
// file, and no descriptor is left open.
TEST_F(CommandFault, DirectoryOutputFileIsClosedAfterAFault) {
    std::string image = (m_dir / "DISK").string();
    std::string listing = (m_dir / "LIST.TXT").string();
    testing::internal::CaptureStderr();
    DoMount("/RX01/INITIALIZE", image, "");
    ASSERT_TRUE(IsDiskMounted());
    std::size_t nOpen = OpenDescriptors();
    SetBlockTransferFault(1);
    EXPECT_THROW(DoDirectory("", "*.*", listing), CommandAbort);
    const std::string listed = ReadFile(listing);
    EXPECT_TRUE(IsClosed(listing, nOpen));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("unable to read block 1"), std::string::npos) << err;
    EXPECT_EQ(listed, testfiles::HostText("\nDirectory of " + image + ".rx1\n"));
}

// A fault in the middle of a READ leaves no partial host file, in every mode.
TEST_F(CommandFault, ReadFaultLeavesNoPartialHostFile) {
    ASSERT_TRUE(CreateDisk(true, DiskType::RX01, (m_dir / "disk.rx1").string()));
    ZeroDirectory(false);
    // More blocks than one transfer moves, so the file is read in two runs.
    const std::string data((DISK_RUN_BLOCKS + 6) * 384, 'x');
    WriteFile(m_dir / "data.img", data);
    DoWrite("/IMAGE", (m_dir / "data.img").string(), "DATA.IM");

    for (const char* pszMode : {"/IMAGE", "/BYTE", "/ASCII"}) {
        std::string out = (m_dir / "out").string();
        // The directory segment is the first transfer; the second run of
        // data blocks fails, after the first has reached the host file.
        SetBlockTransferFault(3);
        EXPECT_THROW(DoRead(pszMode, "DATA.IM", out), CommandAbort) << pszMode;
        SetBlockTransferFault(0);
        EXPECT_FALSE(fs::exists(out)) << pszMode;
    }
    std::string out = (m_dir / "out.img").string();
    DoRead("/IMAGE", "DATA.IM", out);
    EXPECT_EQ(ReadFile(out), data);
}

}  // namespace
