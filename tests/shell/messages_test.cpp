// Messages, prompts and YES/NO questions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console.h"
#include "testfiles.h"
#include "shell.h"

namespace {

using shelltest::FeedStdin;
using shelltest::StderrCapture;

TEST(Message, WritesOneLineWithPrefixAndSeverity) {
    SetProgramName("ORVA");
    StderrCapture capture;
    Message('E', "no disk mounted");
    Message('W', "no files found to match %s", "*.SV");
    Message('I', "%s", "");
    Message('I', "%d%%", 50);
    EXPECT_EQ(capture.Take(),
              "%ORVA-E, no disk mounted\n"
              "%ORVA-W, no files found to match *.SV\n"
              "%ORVA-I, \n"
              "%ORVA-I, 50%\n");
}

TEST(Message, CutsTheTextAt255Characters) {
    SetProgramName("ORVA");
    const std::string kLong(400, 'x');
    StderrCapture capture;
    Message('E', "unable to open %s", kLong.c_str());
    Message('E', "%s", std::string(255, 'y').c_str());
    EXPECT_EQ(capture.Take(), "%ORVA-E, unable to open " + std::string(255 - 15, 'x') + "\n" +
                                  "%ORVA-E, " + std::string(255, 'y') + "\n");
}

// Reads lines with PromptLine until the end of input.
std::vector<std::string> ReadAllLines(const std::string& input, std::string* pErr) {
    FeedStdin(input);
    std::vector<std::string> lines;
    StderrCapture capture;
    std::string line;
    while (PromptLine("P>", line))
        lines.push_back(line);
    *pErr = capture.Take();
    return lines;
}

TEST(PromptLine, ReadsLinesAfterThePrompt) {
    struct Case {
        std::string input;
        std::vector<std::string> lines;
    };
    const std::string k255(255, 'a'), k300(300, 'b'), k510(510, 'c');
    const Case cases[] = {
        {"", {}},
        {"\n", {""}},
        {"abc\n\nlast", {"abc", "", "last"}},
        // Only one newline at the very end is removed (a host that reads
        // text with CR LF line ends takes the CR LF as that newline).
        {"x\r\n", {testfiles::kHostLineEnd == "\n" ? "x\r" : "x"}},
        // A longer line is read whole, its rest discarded: 256 characters
        // are kept, which marks it too long, and nothing of it is left for
        // the next read.
        {k300 + "\nnext\n", {std::string(256, 'b'), "next"}},
        {k510 + "\nnext\n", {std::string(256, 'c'), "next"}},
        {k510, {std::string(256, 'c')}},
        // A line of exactly 255 characters is one line, not too long.
        {k255 + "\nnext\n", {k255, "next"}},
        {k255 + "\n\nnext\n", {k255, "", "next"}},
        {k255, {k255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.size() > 20 ? c.input.substr(0, 20) + "..." : c.input);
        std::string err;
        const std::vector<std::string> lines = ReadAllLines(c.input, &err);
        EXPECT_EQ(lines, c.lines);
        for (const std::string& line : lines)
            EXPECT_EQ(IsLineTooLong(line), line.size() > 255);
        std::string prompts;
        for (std::size_t i = 0; i <= c.lines.size(); ++i)
            prompts += "P>";
        EXPECT_EQ(err, prompts);
    }
}

TEST(ReadCommandLine, PromptsWithTheProgramName) {
    SetProgramName("ORVA");
    FeedStdin("dir\n");
    StderrCapture capture;
    std::string line;
    EXPECT_TRUE(ReadCommandLine(line));
    EXPECT_EQ(line, "dir");
    EXPECT_FALSE(ReadCommandLine(line));
    EXPECT_EQ(capture.Take(), "ORVA>ORVA>");
}

TEST(Confirm, TakesTheFirstCharacterOfTheAnswer) {
    SetProgramName("ORVA");
    const std::string kQuestion = "delete file FOO.SV ?";
    const std::string kAgain = "%ORVA-W, please answer YES or NO - ";
    struct Case {
        std::string input;
        bool fDefault;
        bool fAnswer;
        std::string err;
    };
    const Case cases[] = {
        {"y\n", false, true, kQuestion},
        {"YES\n", false, true, kQuestion},
        {"Yesterday\n", false, true, kQuestion},
        {"n\n", true, false, kQuestion},
        {"NO\n", true, false, kQuestion},
        {"N\n", true, false, kQuestion},
        {"nope\n", true, false, kQuestion},
        // Only Enter: the default.
        {"\n", true, true, kQuestion},
        {"\n", false, false, kQuestion},
        // The end of input: NO, whatever the default.
        {"", true, false, kQuestion},
        {"", false, false, kQuestion},
        {"ok\n", true, false, kQuestion + kAgain + "ok\n" + kQuestion},
        // At a terminal anything else is warned about and asked again.
        {"ok\ny\n", false, true, kQuestion + kAgain + "ok\n" + kQuestion},
        {"ok\n ye\n?\nno\n", true, false,
         kQuestion + kAgain + "ok\n" + kQuestion + kAgain + " ye\n" + kQuestion + kAgain + "?\n" + kQuestion},
    };
    SetInteractiveInputForTesting(1);
    for (const Case& c : cases) {
        SCOPED_TRACE("answer [" + c.input + "] default " + (c.fDefault ? "yes" : "no"));
        FeedStdin(c.input);
        StderrCapture capture;
        EXPECT_EQ(Confirm("delete file %s ?", c.fDefault, "FOO.SV"), c.fAnswer);
        EXPECT_EQ(capture.Take(), c.err);
    }
    SetInteractiveInputForTesting(-1);
}

// From a script a wrong answer is NO: only its own line is used up, the
// question is not asked again, and the next line stays for the next read.
TEST(Confirm, TakesAWrongAnswerFromAScriptAsNo) {
    SetProgramName("ORVA");
    const std::string kQuestion = "Initialize virtual disk file job.rx5 ?";
    const std::string kLong(300, 'k');
    struct Case {
        std::string input;
        bool fAnswer;
        std::string err;
    };
    const Case cases[] = {
        {"WRITE a.txt\nDIR\n", false,
         kQuestion + "%ORVA-W, please answer YES or NO - WRITE a.txt taken as NO\n"},
        {"y\nDIR\n", true, kQuestion},
        {"\nDIR\n", true, kQuestion},
        // An answer too long for the buffer is not YES, whatever it begins with.
        {"Y" + kLong + "\nDIR\n", false,
         kQuestion + "%ORVA-W, please answer YES or NO - Y" + std::string(255 - 27, 'k') + "\n"},
    };
    SetInteractiveInputForTesting(0);
    for (const Case& c : cases) {
        SCOPED_TRACE("answer [" + c.input.substr(0, 20) + "]");
        FeedStdin(c.input);
        StderrCapture capture;
        EXPECT_EQ(Confirm("Initialize virtual disk file %s ?", true, "job.rx5"), c.fAnswer);
        std::string next;
        EXPECT_TRUE(PromptLine("", next));
        EXPECT_EQ(next, "DIR");
        EXPECT_EQ(capture.Take(), c.err);
    }
    SetInteractiveInputForTesting(-1);
}

TEST(Confirm, CutsLongQuestionsAndAnswers) {
    SetProgramName("ORVA");
    const std::string kName(300, 'f');
    FeedStdin(std::string(300, 'k') + "\nY\n");
    SetInteractiveInputForTesting(1);
    StderrCapture capture;
    EXPECT_TRUE(Confirm("read %s ?", false, kName.c_str()));
    SetInteractiveInputForTesting(-1);
    // The question is cut at 255 characters; the over-long answer is one
    // wrong answer, its warning text cut at 255.
    const std::string kQuestion = "read " + std::string(250, 'f');
    const std::string kWarning = "%ORVA-W, please answer YES or NO - ";
    EXPECT_EQ(capture.Take(), kQuestion + kWarning + std::string(255 - 26, 'k') + "\n" + kQuestion);
}

}  // namespace
