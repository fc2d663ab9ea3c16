#include "harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace orvatest {

static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

fs::path OrvaBinary() { return ORVA_BINARY; }
fs::path FixturesDir() { return ORVA_FIXTURES_DIR; }
bool HaveFixtures() { return fs::is_directory(FixturesDir()); }
fs::path TranscriptsDir() { return ORVA_TRANSCRIPTS_DIR; }

static std::string Environment() {
    return "ORVA=" + Quote(OrvaBinary().string()) + " FIXTURES=" + Quote(FixturesDir().string()) +
           " TRANSCRIPTS=" + Quote(TranscriptsDir().string()) + " ";
}

// The script and the captured output live in a directory of their own, so
// that the run directory holds only what the test and orva put there (a host
// wildcard such as "*.*" must not find them).
OrvaRun RunOrva(const fs::path& dir, const std::string& script, const std::vector<std::string>& args) {
    TempDir io;
    WriteFile(io / "stdin", script);
    std::string command = "cd " + Quote(dir.string()) + " && timeout 120 " + Quote(OrvaBinary().string());
    for (const auto& arg : args)
        command += " " + Quote(arg);
    command += " <" + Quote((io / "stdin").string()) + " >" + Quote((io / "stdout").string()) + " 2>" +
               Quote((io / "stderr").string());
    int raw = std::system(command.c_str());
    OrvaRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFile(io / "stderr");
    run.out = ReadFile(io / "stdout");
    return run;
}

int RunShell(const fs::path& dir, const std::string& script, std::string* pOutput) {
    TempDir io;
    WriteFile(io / "script", script);
    std::string command = "cd " + Quote(dir.string()) + " && " + Environment() + "timeout 120 sh -e " +
                          Quote((io / "script").string()) + " >" + Quote((io / "output").string()) + " 2>&1";
    int raw = std::system(command.c_str());
    if (pOutput)
        *pOutput = ReadFile(io / "output");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string TodayColumn() {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // OS/8 keeps three bits of year from 1986, so the year shows within
    // 1986-1993.
    int year = 86 + ((local.tm_year - 86) & 7);
    if (year > local.tm_year)
        year -= 8;
    char text[32];
    std::snprintf(text, sizeof text, "%2d-%s-%2d", local.tm_mday, kMonths[local.tm_mon], year);
    return text;
}

}  // namespace orvatest
