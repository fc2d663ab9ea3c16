// The vorlent command line: arguments, files that cannot be opened, and the
// output file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "romtest.h"

namespace {

using namespace romtest;

const char* const USAGE =
    "usage: VORLENT <code file name> <FPGA file name> <RDI file name> <output name>\r\n"
    "  replace file name with '-' to omit\r\n";

// Anything but four arguments after the options, and an unknown option.
TEST(VorlentCommandLine, WrongArgumentsShowTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"-"}, {"-", "-", "-"}, {"-", "-", "-", "out.txt", "extra"},
        {"-x", "-", "-", "-", "out.txt"}, {"--bogus"}};
    for (const auto& args : cases) {
        TempDir dir;
        const ProgramRun run = RunVorlent(dir.path(), args);
        EXPECT_EQ(run.status, 1) << args.size() << " arguments" << (args.empty() ? "" : ", the first " + args[0]);
        EXPECT_EQ(run.err, USAGE);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(fs::is_empty(dir.path())) << "nothing is created";
    }
}

TEST(VorlentCommandLine, InputThatCannotBeOpenedEndsBeforeTheOutputIsCreated) {
    struct Case {
        std::vector<std::string> args;
        int nStatus;
        const char* pszError;
    };
    // in.bin, in.bit and in.rdi exist, as does the folder "folder".
    const std::vector<Case> cases = {
        {{"none.bin", "-", "-", "out.txt"}, 2, "fatal: code binfile none.bin not found\r\n"},
        {{"folder", "-", "-", "out.txt"}, 2, "fatal: code binfile folder not found\r\n"},
        {{"none.bin", "none.bit", "none.rdi", "out.txt"}, 2, "fatal: code binfile none.bin not found\r\n"},
        {{"in.bin", "none.bit", "in.rdi", "out.txt"}, 3, "fatal: FPGA bitfile none.bit not found\r\n"},
        {{"-", "folder", "-", "out.txt"}, 3, "fatal: FPGA bitfile folder not found\r\n"},
        {{"in.bin", "in.bit", "none.rdi", "out.txt"}, 4, "fatal: RDI file none.rdi not found\r\n"},
        {{"-", "-", "folder", "out.txt"}, 4, "fatal: RDI file folder not found\r\n"},
        {{"in.bin", "in.bit", "in.rdi", "nofolder/out.txt"}, 5,
         "fatal: output file nofolder/out.txt not opened\r\n"},
        {{"in.bin", "in.bit", "in.rdi", "folder"}, 5, "fatal: output file folder not opened\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir / "in.bin", BinWordAtIndex(0, 1));
        WriteFile(dir / "in.bit", "\x01");
        WriteFile(dir / "in.rdi", "\x01");
        fs::create_directory(dir / "folder");
        const ProgramRun run = RunVorlent(dir.path(), c.args);
        EXPECT_EQ(run.status, c.nStatus) << c.pszError;
        EXPECT_EQ(run.err, c.pszError);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fs::exists(dir / "out.txt"));
    }
}

TEST(VorlentCommandLine, HelpAndVersionEndWithStatus0) {
    const std::string version = std::string("vorlent ") + VORLENT_VERSION + "\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-h"}, "Usage: vorlent [OPTION]... CODE FPGA RDI OUTPUT\n"},
        {{"--help", "-", "-", "-", "out.txt"}, "Usage: vorlent [OPTION]... CODE FPGA RDI OUTPUT\n"},
        {{"-V"}, version},
        {{"--version"}, version},
    };
    for (const auto& [args, start] : cases) {
        SCOPED_TRACE(args[0]);
        TempDir dir;
        const ProgramRun run = RunVorlent(dir.path(), args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.substr(0, start.size()), start);
        EXPECT_TRUE(fs::is_empty(dir.path())) << "nothing is created";
    }
}

// "--" ends the options, so an input may be named "-x".
TEST(VorlentCommandLine, DoubleDashEndsTheOptions) {
    TempDir dir;
    WriteFile(dir / "-x", "\x01");
    const ProgramRun run = RunVorlent(dir.path(), {"--", "-", "-", "-x", "out.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "RDI written -  1 ROM fields\r\n");
}

// An output that is one of the inputs, under any name, would be emptied
// before it is read: refused before the output is created.
TEST(VorlentCommandLine, OutputThatIsAnInputIsRefused) {
    struct Case {
        std::vector<std::string> args;
        const char* pszError;
    };
    // link.bit is a hard link to same.bit; the alias is a symbolic link on
    // POSIX hosts, and on Windows (where making one needs a privilege)
    // another spelling of the name, which Windows does not tell apart.
#ifdef _WIN32
    const std::string alias = "SAME.BIT";
#else
    const std::string alias = "alias.bit";
#endif
    const std::vector<Case> cases = {
        {{"-", "same.bit", "-", "same.bit"}, "fatal: output file same.bit is also an input\r\n"},
        {{"-", "same.bit", "-", "./same.bit"}, "fatal: output file ./same.bit is also an input\r\n"},
        {{"-", "-", "same.bit", "link.bit"}, "fatal: output file link.bit is also an input\r\n"},
        {{"in.bin", "-", "-", alias}, nullptr},
        {{"in.bin", alias, "-", "same.bit"}, "fatal: output file same.bit is also an input\r\n"},
        {{"in.bin", "-", "-", "in.bin"}, "fatal: output file in.bin is also an input\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string kBit(5000, '\x0f');
        WriteFile(dir / "in.bin", BinWordAtIndex(0, 1));
        WriteFile(dir / "same.bit", kBit);
        fs::create_hard_link(dir / "same.bit", dir / "link.bit");
#ifndef _WIN32
        fs::create_symlink("same.bit", dir / alias);
#endif
        const ProgramRun run = RunVorlent(dir.path(), c.args);
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args[2] + " " + c.args[3]);
        if (c.pszError == nullptr) {
            // Not an input: the link's file is replaced by the listing.
            EXPECT_EQ(run.status, 0) << run.err;
            continue;
        }
        EXPECT_EQ(run.status, 5);
        EXPECT_EQ(run.err, c.pszError);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadFile(dir / "same.bit"), kBit);
        EXPECT_EQ(ReadFile(dir / "in.bin"), BinWordAtIndex(0, 1));
    }
}

TEST(VorlentCommandLine, NoInputsGiveAnEmptyOutput) {
    TempDir dir;
    WriteFile(dir / "out.txt", "an older listing\r\n");
    const ProgramRun run = RunVorlent(dir.path(), {"-", "-", "-", "out.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    ASSERT_TRUE(fs::exists(dir / "out.txt"));
    EXPECT_EQ(fs::file_size(dir / "out.txt"), 0u) << "the output is replaced";
}

TEST(VorlentCommandLine, BackslashSeparatesFolders) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    WriteFile(dir / "sub" / "in.rdi", "\x01");
    const ProgramRun run = RunVorlent(dir.path(), {"-", "-", "sub\\in.rdi", "sub\\out.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "RDI written -  1 ROM fields\r\n");
    EXPECT_TRUE(fs::exists(dir / "sub" / "out.txt"));
}

TEST(VorlentCommandLine, OutputThatCannotBeWrittenIsAnError) {
    const fs::path full = testfiles::kFullDevice;
    if (!testfiles::HaveFullDevice())
        GTEST_SKIP() << "no always-full device on this host";
    TempDir dir;
    WriteFile(dir / "in.rdi", std::string(4096, '\x55'));
    const ProgramRun run = RunVorlent(dir.path(), {"-", "-", "in.rdi", full.string()});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "fatal: output file " + full.string() + " not written\r\n");
}

}  // namespace
