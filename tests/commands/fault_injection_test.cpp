// Device faults in the middle of a command: every block transfer of a
// WRITE, a DELETE and a MOUNT /INITIALIZE is made to fail in turn. Each time
// the command must report the fault and end, later commands must still
// run, and the directory on disk must read without damage and be either the
// one before the command or the one after it, never a mixture. A WRITE over
// an existing file must leave the old version or the new one, never neither.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "disk.h"
#include "harness.h"
#include "orva.h"
#include "os8.h"
#include "shell.h"

namespace {

namespace fs = std::filesystem;

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

void PrintTo(const FaultCase& c, std::ostream* pOut) { *pOut << c.pszName; }

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

class FaultInjection : public testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override {
        SetProgramName("ORVA");
        SetTodayForTesting(8, 12, 2026);
        m_previous = fs::current_path();
        fs::current_path(m_dir.path());
        orvatest::WriteFile("one.tx", "The first file.\n");
        orvatest::WriteFile("two.bn", std::string(2000, '\x5a'));
        std::string text;
        for (int i = 0; i < 120; ++i)
            text += "Line " + std::to_string(i) + " of a text that takes a few blocks.\n";
        orvatest::WriteFile("big.tx", text);
    }
    void TearDown() override {
        if (IsDiskMounted())
            CloseDisk();
        SetBlockTransferFault(0);
        SetTodayForTesting(0, 0, 0);
        fs::current_path(m_previous);
    }

    // Mounts the image again as it is on disk.
    void Remount(const FaultCase& c) {
        if (IsDiskMounted())
            CloseDisk();
        RunLine(c.pszMount);
        ASSERT_TRUE(IsDiskMounted()) << c.pszMount;
    }

    // Puts the prepared image back and mounts it.
    void Restore(const FaultCase& c) {
        if (IsDiskMounted())
            CloseDisk();
        orvatest::WriteFile(c.pszImage, m_image);
        Remount(c);
    }

    orvatest::TempDir m_dir;
    fs::path m_previous;
    std::string m_image;
};

TEST_P(FaultInjection, LeavesTheOldOrTheNewDirectory) {
    const FaultCase& c = GetParam();
    for (const char* pszLine : c.setup)
        RunLine(pszLine);
    ASSERT_TRUE(IsDiskMounted());
    CloseDisk();
    m_image = orvatest::ReadFile(c.pszImage);

    // Without a fault: the number of transfers, and the directory before
    // and after.
    ASSERT_NO_FATAL_FAILURE(Restore(c));
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
        ASSERT_NO_FATAL_FAILURE(Restore(c));
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

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjection, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FaultCase>& info) { return info.param.pszName; });

}  // namespace
