// End-to-end test kit: runs orva on a command script in a temporary
// directory and hands back what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "testfiles.h"

namespace orvatest {

namespace fs = std::filesystem;

using testfiles::TempDir;

struct OrvaRun {
    std::string err;  // the console transcript (standard error)
    std::string out;  // standard output
    int status = -1;  // exit status, or -1 when the program did not exit
};

// Runs orva in `dir` with `script` on standard input; nothing else is put
// in `dir` (the script and the captured output are kept elsewhere). The
// console line ends of a Windows program (CR LF) come back as "\n".
OrvaRun RunOrva(const fs::path& dir, const std::string& script,
                const std::vector<std::string>& args = {});
// Runs a shell script with sh in `dir` (ORVA, HOST, FIXTURES and TRANSCRIPTS
// are set in its environment, and the filter host_text is defined: it gives
// its input the line ends of the program's ASCII host files); returns its
// exit status and puts its output in *pOutput.
int RunShell(const fs::path& dir, const std::string& script, std::string* pOutput = nullptr);

// The program the kit runs: the orva built beside it, or, when the
// environment variable ORVA_E2E_PROGRAM holds a command (such as
// "wine /build-win/bin/orva.exe"), a script that runs that command with the
// arguments it is given. ORVA_E2E_HOST names the host the program is built
// for ("windows" or "posix", the default).
fs::path OrvaBinary();
// True when the program is a Windows build (run through a wrapper such as
// wine): its console output ends lines with CR LF, and so do the ASCII host
// files it writes.
bool WindowsProgram();
// A text with "\n" line ends as the program's host stores an ASCII file.
std::string ProgramHostText(const std::string& text);
// The line that starts the program on the commands in the file `input`
// from the program's own host command interpreter (after "!"): the POSIX
// shell, or cmd.exe under wine, where the Windows program is the last word
// of ORVA_E2E_PROGRAM and "/" is the root of drive Z:.
std::string ProgramShellCommand(const fs::path& input);
fs::path FixturesDir();
bool HaveFixtures();
fs::path TranscriptsDir();

// The date column DIRECTORY prints for a file written today.
std::string TodayColumn();

using testfiles::ReadFile;
using testfiles::WriteFile;

}  // namespace orvatest
