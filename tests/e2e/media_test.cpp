// End-to-end tests of the care orva takes of the media it works on: one
// writer per image (the lock MOUNT takes), a file-size limit that fails a
// write instead of killing the program, and the dates READ keeps.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "harness.h"

namespace orvatest {
namespace {

// A second orva, started through "!" while the first holds its mount, tries
// to mount the same image.
TEST(MediaTest, SecondMountOfAnImageHeldByAnotherOrva) {
    struct LockCase {
        const char* pszFirst;   // MOUNT qualifiers of the first orva
        const char* pszSecond;  // and of the second
        bool fRefused;
    };
    const std::vector<LockCase> cases = {
        {"", "", true},
        {"", "/READ", true},
        {"/READ", "", true},
        {"/READ", "/READ", false},
    };
    for (const LockCase& lock : cases) {
        SCOPED_TRACE(std::string("first ") + lock.pszFirst + ", second " + lock.pszSecond);
        TempDir dir;
        ASSERT_EQ(RunShell(dir.path(), "truncate -s 256256 D.rx1\n"), 0);
        TempDir io;
        WriteFile(io / "second", std::string("MOUNT /RX01 ") + lock.pszSecond + " D\n");
        OrvaRun run = RunOrva(dir.path(), std::string("MOUNT /RX01 ") + lock.pszFirst + " D\n!" +
                                              ProgramShellCommand(io / "second") + "\nDISMOUNT\n");
        const std::string second =
            lock.fRefused ? "ORVA>%ORVA-E, D.rx1 is in use by another program\nORVA>"
                          : "ORVA>%ORVA-I, mounted virtual disk on file D.rx1\nORVA>%ORVA-I, dismounting disk D.rx1\n";
        // The first keeps its mount all along.
        EXPECT_EQ(run.err, "ORVA>%ORVA-I, mounted virtual disk on file D.rx1\nORVA>" + second +
                               "ORVA>%ORVA-I, dismounting disk D.rx1\nORVA>");
    }
}

TEST(MediaTest, DismountAndReadOnlyMountLetTheOtherWriterIn) {
    TempDir dir;
    ASSERT_EQ(RunShell(dir.path(), "truncate -s 256256 D.rx1\n"), 0);
    TempDir io;
    WriteFile(io / "second", "MOUNT /RX01 D\n");
    const std::string second = "!" + ProgramShellCommand(io / "second") + "\n";
    // After DISMOUNT, and after a failed MOUNT of the same image, nothing
    // holds the image any more.
    OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 D\nDISMOUNT\n" + second + "MOUNT /RX01 /X D\n" + second);
    EXPECT_EQ(run.err,
              "ORVA>%ORVA-I, mounted virtual disk on file D.rx1\n"
              "ORVA>%ORVA-I, dismounting disk D.rx1\n"
              "ORVA>ORVA>%ORVA-I, mounted virtual disk on file D.rx1\nORVA>%ORVA-I, dismounting disk D.rx1\n"
              "ORVA>%ORVA-E, unknown qualifier X\n"
              "ORVA>ORVA>%ORVA-I, mounted virtual disk on file D.rx1\nORVA>%ORVA-I, dismounting disk D.rx1\n"
              "ORVA>");
}

// Runs orva in dir on the script with the process file-size limit set to
// cbLimit bytes; returns its standard error, and its exit status in *pnStatus
// (-1 when a signal ended it).
std::string RunOrvaUnderFileSizeLimit(const fs::path& dir, const std::string& script, rlim_t cbLimit,
                                      int* pnStatus) {
    TempDir io;
    WriteFile(io / "stdin", script);
    const std::string inPath = (io / "stdin").string();
    const std::string errPath = (io / "stderr").string();
    const std::string binary = OrvaBinary().string();
    pid_t pid = fork();
    if (pid == 0) {
        int fdIn = open(inPath.c_str(), O_RDONLY);
        int fdErr = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        rlimit limit{cbLimit, cbLimit};
        if (fdIn < 0 || fdErr < 0 || chdir(dir.c_str()) != 0 || setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(126);
        dup2(fdIn, 0);
        dup2(fdErr, 2);
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    *pnStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return ReadFile(io / "stderr");
}

TEST(MediaTest, FileSizeLimitFailsTheWriteAndTheProgramGoesOn) {
    TempDir dir;
    // A.TX fills blocks 7-2999 of the image; the free area begins at byte
    // 1,536,000, beyond a limit of 1 MiB.
    ASSERT_EQ(RunShell(dir.path(), ". \"$TRANSCRIPTS/images.sh\"\ntruncate -s 2097152 D.he2\n"
                                   "{ segment 2 7; entry A.TX 01563 2993; empty 1096; } | put D.he2 1\n"
                                   "echo hello >new.txt\n"),
              0);
    int nStatus = 0;
    std::string err = RunOrvaUnderFileSizeLimit(dir.path(),
                                                "MOUNT /HE02 D\nWRITE new.txt\nREAD A.TX /IMAGE\nDIR\n",
                                                1 << 20, &nStatus);
    EXPECT_EQ(nStatus, 0) << err;
    EXPECT_NE(err.find("%ORVA-E, unable to write block 3000 of D.he2: File too large\n"), std::string::npos)
        << err;
    // A host file that outgrows the limit fails in the same way.
    EXPECT_NE(err.find("%ORVA-E, error writing file A.TX"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "A.TX"));
    // The program ran to its end.
    EXPECT_TRUE(err.ends_with("ORVA>%ORVA-I, dismounting disk D.he2\n")) << err;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* pszName, const char* pszValue) : name_(pszName) {
        if (const char* pszOld = std::getenv(pszName)) {
            old_ = pszOld;
            fHadOld_ = true;
        }
        setenv(pszName, pszValue, 1);
    }
    ~ScopedEnvironment() {
        if (fHadOld_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::string old_;
    bool fHadOld_ = false;
};

std::time_t ModificationTime(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(stat(file.c_str(), &info), 0) << file;
    return info.st_mtime;
}

TEST(MediaTest, ReadGivesTheHostFileTheDateOfTheOS8File) {
    TempDir dir;
    // DATED.TX of 14-MAR-89, NODATE.TX without a date, and BADDAY.TX whose
    // date word has day 0, which no calendar has.
    ASSERT_EQ(RunShell(dir.path(), ". \"$TRANSCRIPTS/images.sh\"\ntruncate -s 2097152 D.he2\n"
                                   "{ segment 4 7; entry DATED.TX 01563 1; entry NODATE.TX 0 1;\n"
                                   "  entry BADDAY.TX 01401 1; empty 4086; } | put D.he2 1\n"
                                   "mkdir ascii image byte\n"),
              0);
    // Noon on a host five hours west of UTC.
    ScopedEnvironment zone("TZ", "EST5");
    std::tm noon{};
    noon.tm_year = 89;
    noon.tm_mon = 2;
    noon.tm_mday = 14;
    noon.tm_hour = 17;
    const std::time_t tDated = timegm(&noon);
    const std::time_t tBefore = std::time(nullptr);
    OrvaRun run = RunOrva(dir.path(), "MOUNT /HE02 /READ D\n"
                                      "READ *.TX ascii\\\n"
                                      "READ *.TX image\\ /IMAGE\n"
                                      "READ *.TX byte\\ /BYTE\n");
    const std::time_t tAfter = std::time(nullptr);
    ASSERT_EQ(run.err.find("%ORVA-E"), std::string::npos) << run.err;
    for (const char* pszMode : {"ascii", "image", "byte"}) {
        SCOPED_TRACE(pszMode);
        EXPECT_EQ(ModificationTime(dir / pszMode / "DATED.TX"), tDated);
        for (const char* pszName : {"NODATE.TX", "BADDAY.TX"}) {
            std::time_t tCopy = ModificationTime(dir / pszMode / pszName);
            EXPECT_GE(tCopy, tBefore) << pszName;
            EXPECT_LE(tCopy, tAfter) << pszName;
        }
    }
}

}  // namespace
}  // namespace orvatest
