// The command line of orva as a script or a Makefile uses it: options,
// script files, -c commands, -e and its exit status, comments, and quoted
// host paths with blanks, commas and "~/".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace orvatest {
namespace {

const std::string kUsageStart = "Usage: orva [OPTION]... [SCRIPT]\n";

TEST(Options, HelpAndVersionGoToStandardOutputWithoutReadingCommands) {
    struct Case {
        std::vector<std::string> args;
        std::string out;  // the start of standard output
    };
    const std::string version = std::string("orva ") + ORVA_VERSION + "\n";
    const Case cases[] = {
        {{"-h"}, kUsageStart},
        {{"--help"}, kUsageStart},
        {{"-e", "--help", "nosuch.txt"}, kUsageStart},
        {{"-V"}, version},
        {{"--version"}, version},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        TempDir dir;
        OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 /INITIALIZE made\n", c.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
        EXPECT_FALSE(fs::exists(dir / "made.rx1")) << "no command was read";
    }
    // The version is exactly one line.
    TempDir dir;
    EXPECT_EQ(RunOrva(dir.path(), "", {"-V"}).out, version);
}

TEST(Options, WrongCommandLinesShowTheUsageWithStatus2) {
    struct Case {
        std::vector<std::string> args;
        std::string firstLine;
    };
    const Case cases[] = {
        {{"-x"}, "orva: unknown option -x\n"},
        {{"--bogus"}, "orva: unknown option --bogus\n"},
        {{"-c"}, "orva: option -c needs an argument\n"},
        {{"--command"}, "orva: option --command needs an argument\n"},
        {{"a.txt", "b.txt"}, "orva: only one script file may be given\n"},
        {{"-c", "DIR", "a.txt"}, "orva: a script file cannot be given with -c\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        TempDir dir;
        OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 /INITIALIZE made\n", c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.substr(0, c.firstLine.size() + kUsageStart.size()), c.firstLine + kUsageStart);
        EXPECT_FALSE(fs::exists(dir / "made.rx1")) << "no command was read";
    }
}

// A script file takes the place of standard input, for the commands and for
// the answers to questions; its end ends the program as the end of input
// does, dismounting the disk.
TEST(Scripts, ScriptFileGivesCommandsAndAnswers) {
    TempDir dir;
    WriteFile(dir / "a.txt", "alpha\n");
    WriteFile(dir / "build.orva",
              "# make a disk and put a file on it\n"
              "MOUNT /RX01 /INITIALIZE made\n"
              "WRITE a.txt /CONFIRM\n"
              "yes\n"
              "   ; a comment after blanks\n"
              "DELETE A.TX /CONFIRM\n"
              "no\n");
    OrvaRun run = RunOrva(dir.path(), "DELETE A.TX /NOCONFIRM\n", {"build.orva"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "ORVA>ORVA>%ORVA-I, virtual disk file made.rx1 initialized\n"
              "ORVA>Write a.txt to A.TX ?%ORVA-I, wrote a.txt to A.TX\n"
              "ORVA>ORVA>Delete file A.TX ?ORVA>%ORVA-I, dismounting disk made.rx1\n");
    // Standard input was not read: A.TX is still there.
    OrvaRun check = RunOrva(dir.path(), "MOUNT /RX01 made\nDIR/BRIEF\n");
    EXPECT_NE(check.err.find("A.TX"), std::string::npos) << check.err;
}

TEST(Scripts, DashReadsStandardInput) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 /INITIALIZE made\n", {"-e", "-"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::exists(dir / "made.rx1")) << run.err;
}

TEST(Scripts, MissingScriptFileEndsWithStatus2) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "MOUNT /RX01 /INITIALIZE made\n", {"nosuch.orva"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "%ORVA-E, unable to read script file nosuch.orva (No such file or directory)\n");
    EXPECT_FALSE(fs::exists(dir / "made.rx1"));
}

// -c commands run in order as a script, and then the program ends without
// reading standard input.
TEST(Scripts, CommandOptionsRunInOrder) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "DISMOUNT\n",
                          {"-c", "MOUNT /RX01 /INITIALIZE made", "--command=DIR/BRIEF", "-c", "# nothing"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "ORVA>%ORVA-I, virtual disk file made.rx1 initialized\n"
              "ORVA>\nDirectory of made.rx1\n%ORVA-W, no files found to match *.*\n\nTotal of 0 files.\n"
              "ORVA>ORVA>%ORVA-I, dismounting disk made.rx1\n");
}

// With -e the first command that prints an E message ends the run with
// status 1 (the disk is dismounted); warnings and information do not count,
// and without -e the status stays 0.
TEST(StopOnError, FirstErrorEndsTheRunWithStatus1) {
    struct Case {
        std::vector<std::string> args;
        int nStatus;
        std::string err;
    };
    const std::string script =
        "MOUNT /RX01 /INITIALIZE made\n"
        "TYPE NOSUCH.TX\n"      // W: no files found
        "READ NOSUCH.TX x\n"    // W
        "DUMP 9999\n"           // E: block number too large
        "DIR/BRIEF\n";
    const std::string start =
        "ORVA>%ORVA-I, virtual disk file made.rx1 initialized\n"
        "ORVA>%ORVA-W, no files found to match NOSUCH.TX\n"
        "ORVA>%ORVA-W, no files found to match NOSUCH.TX\n"
        "ORVA>%ORVA-E, block number is too large for disk\n";
    const Case cases[] = {
        {{"-e"}, 1, start + "%ORVA-I, dismounting disk made.rx1\n"},
        {{"--stop-on-error"}, 1, start + "%ORVA-I, dismounting disk made.rx1\n"},
        {{}, 0,
         start + "ORVA>\nDirectory of made.rx1\n%ORVA-W, no files found to match *.*\n\nTotal of 0 files.\n" +
             "ORVA>%ORVA-I, dismounting disk made.rx1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no option" : c.args[0]);
        TempDir dir;
        OrvaRun run = RunOrva(dir.path(), script, c.args);
        EXPECT_EQ(run.status, c.nStatus);
        EXPECT_EQ(run.err, c.err);
    }
    // A parser error is an error too, and so is one in a script file.
    TempDir dir;
    WriteFile(dir / "bad.orva", "DIR \"open\nHELP\n");
    OrvaRun run = RunOrva(dir.path(), "", {"-e", "bad.orva"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ORVA>%ORVA-E, missing closing quote\n");
}

// The Makefile rule of the README: the image is built from a script, and a
// command that fails fails the rule and leaves no image.
TEST(StopOnError, MakefileRuleFailsWithTheScript) {
    TempDir dir;
    std::string output;
    int status = RunShell(dir.path(),
                          "command -v make >/dev/null || exit 77\n"
                          "PATH=\"$(dirname \"$ORVA\"):$PATH\"\n"
                          "printf 'disk.rx1: disk.orva readme.txt\\n"
                          "\\trm -f $@\\n"
                          "\\torva -e disk.orva || { rm -f $@; exit 1; }\\n' >Makefile\n"
                          "echo hello >readme.txt\n"
                          "printf '# a fresh image\\nMOUNT /RX01 /INITIALIZE disk\\nWRITE readme.txt\\n' >disk.orva\n"
                          "make -s 2>/dev/null\n"
                          "test -f disk.rx1\n"
                          "printf 'MOUNT /RX01 /INITIALIZE disk\\nWRTE readme.txt\\nDIR\\n' >disk.orva\n"
                          // -B: the script may carry the image's own time stamp.
                          "if make -s -B 2>/dev/null; then exit 1; fi\n"
                          "test ! -e disk.rx1\n",
                          &output);
    if (status == 77)
        GTEST_SKIP() << "no make";
    EXPECT_EQ(status, 0) << output;
}

TEST(Comments, PrintNothing) {
    TempDir dir;
    OrvaRun run = RunOrva(dir.path(), "# comment\n;comment\n \t# indented\n  ;\nDIR # not a comment here\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "ORVA>ORVA>ORVA>ORVA>ORVA>%ORVA-E, extra parameters on line - \"a comment here\"\nORVA>");
}

// Quoted host paths hold blanks, slashes and commas; "~/" starts at $HOME;
// a quoted backslash stays a backslash.
TEST(Quoting, HostPathsWithBlanksCommasAndTilde) {
    TempDir dir;
    std::string script =
        "mkdir 'my disks' 'out dir' home\n"
        "printf 'alpha\\n' >'a b.txt'\n"
        "printf 'gamma\\n' >'c,d.txt'\n"
        "printf 'back\\n' >'e\\f.txt'\n"
        "HOME=\"$PWD/home\" \"$ORVA\" >/dev/null 2>err.txt <<'EOF'\n"
        "MOUNT /RX01 /INITIALIZE \"my disks/new disk\"\n"
        "WRITE \"a b.txt\", \"c,d.txt\" A.TX,C.TX\n"
        "WRITE \"e\\f.txt\" E.TX\n"
        "READ *.TX \"out dir/\"\n"
        "READ A.TX ~/copy.txt\n"
        "READ C.TX \"~/q \"\"x\"\".txt\"\n"
        "DIR A.TX \"out dir/list,1.txt\"\n"
        "DISMOUNT\n"
        "MOUNT /RX01 ~/nosuch\n"
        "EOF\n"
        "cat err.txt\n"
        "test -f 'my disks/new disk.rx1'\n"
        "test \"$(cat 'out dir/A.TX')\" = alpha\n"
        "test \"$(cat 'out dir/C.TX')\" = gamma\n"
        "test \"$(cat 'out dir/E.TX')\" = back\n"
        "test \"$(cat home/copy.txt)\" = alpha\n"
        "test \"$(cat 'home/q \"x\".txt')\" = gamma\n"
        "grep -q '^A.TX ' 'out dir/list,1.txt'\n";
    std::string output;
    ASSERT_EQ(RunShell(dir.path(), script, &output), 0) << output;
    EXPECT_EQ(output,
              "ORVA>%ORVA-I, virtual disk file my disks/new disk.rx1 initialized\n"
              "ORVA>%ORVA-I, wrote a b.txt to A.TX\n"
              "%ORVA-I, wrote c,d.txt to C.TX\n"
              "ORVA>%ORVA-I, wrote e\\f.txt to E.TX\n"
              "ORVA>%ORVA-I, read A.TX into ASCII file out dir/A.TX\n"
              "%ORVA-I, read C.TX into ASCII file out dir/C.TX\n"
              "%ORVA-I, read E.TX into ASCII file out dir/E.TX\n"
              "ORVA>%ORVA-I, read A.TX into ASCII file ~/copy.txt\n"
              "ORVA>%ORVA-I, read C.TX into ASCII file ~/q \"x\".txt\n"
              "ORVA>ORVA>%ORVA-I, dismounting disk my disks/new disk.rx1\n"
              "ORVA>%ORVA-E, unable to access virtual disk file ~/nosuch.rx1 (No such file or directory)\n"
              "ORVA>")
        << output;
}

}  // namespace
}  // namespace orvatest
