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
        // A longer line comes in pieces of 255, each read after its own prompt.
        {k300 + "\nnext\n", {std::string(255, 'b'), std::string(45, 'b'), "next"}},
        {k510 + "\nnext\n", {std::string(255, 'c'), std::string(255, 'c'), "next"}},
        // A line of exactly 255 characters is one line: its newline does not
        // come back as an empty line.
        {k255 + "\nnext\n", {k255, "next"}},
        {k255 + "\n\nnext\n", {k255, "", "next"}},
        {k255, {k255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.size() > 20 ? c.input.substr(0, 20) + "..." : c.input);
        std::string err;
        EXPECT_EQ(ReadAllLines(c.input, &err), c.lines);
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
        // Only Enter, or the end of input: the default.
        {"\n", true, true, kQuestion},
        {"\n", false, false, kQuestion},
        {"", true, true, kQuestion},
        {"", false, false, kQuestion},
        // Anything else is warned about and the question asked again.
        {"ok\ny\n", false, true, kQuestion + kAgain + "ok\n" + kQuestion},
        {"ok\n ye\n?\nno\n", true, false,
         kQuestion + kAgain + "ok\n" + kQuestion + kAgain + " ye\n" + kQuestion + kAgain + "?\n" + kQuestion},
        {"ok\n", false, false, kQuestion + kAgain + "ok\n" + kQuestion},
        {"ok\n", true, true, kQuestion + kAgain + "ok\n" + kQuestion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("answer [" + c.input + "] default " + (c.fDefault ? "yes" : "no"));
        FeedStdin(c.input);
        StderrCapture capture;
        EXPECT_EQ(Confirm("delete file %s ?", c.fDefault, "FOO.SV"), c.fAnswer);
        EXPECT_EQ(capture.Take(), c.err);
    }
}

TEST(Confirm, CutsLongQuestionsAndAnswers) {
    SetProgramName("ORVA");
    const std::string kName(300, 'f');
    FeedStdin(std::string(300, 'k') + "\nY\n");
    StderrCapture capture;
    EXPECT_TRUE(Confirm("read %s ?", false, kName.c_str()));
    // The question is cut at 255 characters; the over-long answer is read as
    // two answers (255 and 45 characters), each warned about with its warning
    // text cut at 255.
    const std::string kQuestion = "read " + std::string(250, 'f');
    const std::string kWarning = "%ORVA-W, please answer YES or NO - ";
    EXPECT_EQ(capture.Take(), kQuestion + kWarning + std::string(255 - 26, 'k') + "\n" + kQuestion +
                                  kWarning + std::string(45, 'k') + "\n" + kQuestion);
}

}  // namespace
