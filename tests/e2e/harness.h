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
// in `dir` (the script and the captured output are kept elsewhere).
OrvaRun RunOrva(const fs::path& dir, const std::string& script,
                const std::vector<std::string>& args = {});
// Runs a shell script with sh in `dir` (ORVA, FIXTURES and TRANSCRIPTS are
// set in its environment); returns its exit status and puts its output in *pOutput.
int RunShell(const fs::path& dir, const std::string& script, std::string* pOutput = nullptr);

fs::path OrvaBinary();
fs::path FixturesDir();
bool HaveFixtures();
fs::path TranscriptsDir();

// The date column DIRECTORY prints for a file written today.
std::string TodayColumn();

using testfiles::ReadFile;
using testfiles::WriteFile;

}  // namespace orvatest
