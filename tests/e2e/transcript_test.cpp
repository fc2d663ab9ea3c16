// Runs every transcript in transcripts/: a command script fed to orva in a
// fresh temporary directory, with its exact console output and exit status.
//
// A transcript file holds sections, each begun by a line "=== NAME":
//   setup   shell script run first in the directory (exit 77 skips the test;
//           ORVA and FIXTURES name the program and the fixtures folder,
//           TRANSCRIPTS this folder, whose images.sh builds disk images)
//   args    command-line arguments, one per line
//   stdin   the command script
//   stderr  the exact standard error; "@TODAY@" stands for today's date
//           column and "@HELP@" for the 22 lines of the help text (the last
//           one without its line end; shell_help.t spells them out once)
//   stdout  the exact standard output (not compared when absent)
//   status  the exit status (0 when absent)
//   check   shell script run afterwards; it must exit 0
// Lines before the first section are comments. A file may hold several runs
// of one behaviour: each begins with a line "=== run LABEL" (LABEL a word
// that names the run in the test name), followed by comment lines and its own
// sections; a file without such lines is one run. The line end just before a
// "===" line (or the end of the file) belongs to the separator, so a section
// whose text must end in a newline is followed by an empty line. The stdin
// section gets a newline after every line (so a section of one empty line is
// one empty command line, and a section of no lines is no input at all).
// The run directory holds nothing but what the setup script puts there: the
// script and the captured output are kept elsewhere.
//
// The kit may run a Windows build of orva (through wine; see harness.h).
// Where that host rightly differs, a line of any section that begins with
// "@windows@" is used (without that mark) on Windows only, and one that
// begins with "@posix@" on POSIX hosts only. Console line ends (CR LF on
// Windows) are compared as "\n". The setup and check scripts see HOST
// ("windows" or "posix") and a filter host_text that gives its input the
// line ends of the program's ASCII host files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "harness.h"

namespace orvatest {
namespace {

// One run of a transcript: its label (empty when the file holds one run
// without a "=== run" line), the text of each section, and the number of
// lines each holds (an empty section and a section of one empty line have
// the same text).
struct TranscriptRun {
    std::string label;
    std::map<std::string, std::string> sections;
    std::map<std::string, std::size_t> lineCounts;
};

// False for a line marked for the other host; the mark of a line for this
// host is taken off.
bool KeepForHost(std::string& line) {
    static const std::string kWindows = "@windows@", kPosix = "@posix@";
    const std::string& mine = WindowsProgram() ? kWindows : kPosix;
    const std::string& other = WindowsProgram() ? kPosix : kWindows;
    if (line.rfind(other, 0) == 0)
        return false;
    if (line.rfind(mine, 0) == 0)
        line.erase(0, mine.size());
    return true;
}

std::vector<TranscriptRun> ParseTranscript(const std::string& text) {
    std::vector<TranscriptRun> runs;
    std::string current;
    bool inSection = false;
    std::size_t pos = 0;
    std::string body;
    std::size_t nLines = 0;
    auto finish = [&] {
        if (inSection) {
            if (!body.empty() && body.back() == '\n')
                body.pop_back();
            runs.back().sections[current] = body;
            runs.back().lineCounts[current] = nLines;
        }
        body.clear();
        nLines = 0;
        inSection = false;
    };
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (line.rfind("=== run ", 0) == 0) {
            finish();
            runs.push_back(TranscriptRun{line.substr(8), {}, {}});
        } else if (line.rfind("=== ", 0) == 0) {
            finish();
            if (runs.empty())
                runs.emplace_back();
            current = line.substr(4);
            inSection = true;
        } else if (inSection) {
            if (!KeepForHost(line))
                continue;
            ++nLines;
            body += line;
            if (end != std::string::npos)
                body += '\n';
        }
    }
    finish();
    return runs;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The help text as orva prints it, without the last line end.
const std::string kHelpText =
    "%ORVA-I, Commands: (dot indicates shortest abbreviation)\n"
    "%ORVA-I, MOU.NT <file or device> [/RX01][/RX02][/RX50][/NB.03][/HE.02]\n"
    "%ORVA-I,       [/RK.05][/TU.56][/PHY.SICAL][/VIR.TUAL][/READ._ONLY]\n"
    "%ORVA-I,       [/SYS.TEM][/INI.TIALIZE][/NOCONF.IRM]\n"
    "%ORVA-I, DISM.OUNT\n"
    "%ORVA-I, PART.ITION <number>|<letter>\n"
    "%ORVA-I, DU.MP <block> [<last block>]\n"
    "%ORVA-I, VER.IFY [/ALL]\n"
    "%ORVA-I, DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]\n"
    "%ORVA-I, TY.PE <file(s)>[/CONF.IRM]\n"
    "%ORVA-I, REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]\n"
    "%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]\n"
    "%ORVA-I, REN.AME <oldfile(s)> <newfile(s)>[/CONF.IRM]\n"
    "%ORVA-I, DEL.ETE <file(s)>[/CONF.IRM]\n"
    "%ORVA-I, WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]\n"
    "%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]\n"
    "%ORVA-I, ZER.O [/SYS.TEM][/NOCONF.IRM]\n"
    "%ORVA-I, Q.UIT / EX.IT\n"
    "%ORVA-I, !<operating system command>\n"
    "%ORVA-I, \n"
    "%ORVA-I, <file(s)> means: filename, a wildcard, or a list of these\n"
    "%ORVA-I, separated by commas.";

// One test: a run of a transcript file.
struct TranscriptCase {
    std::string file;  // the file's name without ".t"
    TranscriptRun run;
};

// How a failure names the case.
void PrintTo(const TranscriptCase& c, std::ostream* pStream) {
    *pStream << c.file << ".t";
    if (!c.run.label.empty())
        *pStream << ", run " << c.run.label;
}

std::vector<TranscriptCase> TranscriptCases() {
    std::vector<std::string> names;
    if (fs::is_directory(TranscriptsDir())) {
        for (const auto& entry : fs::directory_iterator(TranscriptsDir())) {
            if (entry.path().extension() == ".t")
                names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<TranscriptCase> cases;
    for (const std::string& name : names) {
        std::vector<TranscriptRun> runs = ParseTranscript(ReadFile(TranscriptsDir() / (name + ".t")));
        // A file without sections still becomes a test, which then fails.
        if (runs.empty())
            runs.emplace_back();
        for (TranscriptRun& run : runs)
            cases.push_back(TranscriptCase{name, std::move(run)});
    }
    return cases;
}

class Transcript : public testing::TestWithParam<TranscriptCase> {};

TEST_P(Transcript, MatchesExpectedOutput) {
    TranscriptRun transcript = GetParam().run;
    auto& sections = transcript.sections;
    auto& lineCounts = transcript.lineCounts;
    ASSERT_TRUE(sections.count("stdin")) << "no stdin section";
    ASSERT_TRUE(sections.count("stderr")) << "no stderr section";
    TempDir dir;
    if (sections.count("setup")) {
        std::string output;
        int status = RunShell(dir.path(), sections["setup"], &output);
        if (status == 77)
            GTEST_SKIP() << output;
        ASSERT_EQ(status, 0) << "setup failed:\n" << output;
    }
    std::vector<std::string> args;
    if (lineCounts["args"] > 0) {
        std::string list = sections["args"] + "\n";
        for (std::size_t at = 0, nl; (nl = list.find('\n', at)) != std::string::npos; at = nl + 1)
            args.push_back(list.substr(at, nl - at));
    }
    std::string script = sections["stdin"];
    if (lineCounts["stdin"] > 0)
        script += '\n';
    OrvaRun run = RunOrva(dir.path(), script, args);
    std::string expected = Replace(sections["stderr"], "@TODAY@", TodayColumn());
    EXPECT_EQ(run.err, Replace(expected, "@HELP@", kHelpText));
    if (sections.count("stdout")) {
        EXPECT_EQ(run.out, sections["stdout"]);
    }
    EXPECT_EQ(run.status, sections.count("status") ? std::stoi(sections["status"]) : 0);
    if (sections.count("check")) {
        std::string output;
        EXPECT_EQ(RunShell(dir.path(), sections["check"], &output), 0) << "check failed:\n" << output;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Transcript, testing::ValuesIn(TranscriptCases()),
                         [](const testing::TestParamInfo<TranscriptCase>& info) {
                             std::string name = info.param.file;
                             if (!info.param.run.label.empty())
                                 name += "_" + info.param.run.label;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Transcript);

}  // namespace
}  // namespace orvatest
