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

// The wrapper script for ORVA_E2E_PROGRAM lives in a folder of its own for
// the whole test program, so that "$ORVA" in a setup script and PATH lookups
// of "orva" reach the same program.
fs::path OrvaBinary() {
    static const fs::path program = [] {
        const char* pszCommand = std::getenv("ORVA_E2E_PROGRAM");
        if (pszCommand == nullptr || *pszCommand == '\0')
            return fs::path(ORVA_BINARY);
        static TempDir wrapperDir;
        fs::path wrapper = wrapperDir / "orva";
        WriteFile(wrapper, std::string("#!/bin/sh\nexec ") + pszCommand + " \"$@\"\n");
        fs::permissions(wrapper, fs::perms::owner_all);
        return wrapper;
    }();
    return program;
}

bool WindowsProgram() {
    const char* pszHost = std::getenv("ORVA_E2E_HOST");
    return pszHost != nullptr && std::string(pszHost) == "windows";
}

// A POSIX path under wine: "/" is the root of drive Z:. The paths of the
// test kit hold no blanks, so that cmd.exe needs no quotes for them.
static std::string WinePath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

std::string ProgramShellCommand(const fs::path& input) {
    if (!WindowsProgram())
        return Quote(OrvaBinary().string()) + " <" + Quote(input.string());
    std::string command = std::getenv("ORVA_E2E_PROGRAM");
    std::string program = command.substr(command.find_last_of(' ') + 1);
    return WinePath(program) + " <" + WinePath(input.string());
}

std::string ProgramHostText(const std::string& text) {
    return WindowsProgram() ? testfiles::WithLineEnds(text, "\r\n") : text;
}

// The console output of a Windows program has CR LF line ends (its
// standard streams are text streams): each becomes "\n". A line feed
// without its CR is shown as "<LF>", so that a wrong line end still fails
// the comparison.
static std::string ConsoleText(const std::string& text) {
    if (!WindowsProgram())
        return text;
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            plain += "<LF>";
        plain += text[i];
    }
    return plain;
}

fs::path FixturesDir() { return ORVA_FIXTURES_DIR; }
bool HaveFixtures() { return fs::is_directory(FixturesDir()); }
fs::path TranscriptsDir() { return ORVA_TRANSCRIPTS_DIR; }

static std::string Environment() {
    return "ORVA=" + Quote(OrvaBinary().string()) + " HOST=" + (WindowsProgram() ? "windows" : "posix") +
           " FIXTURES=" + Quote(FixturesDir().string()) +
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
    run.err = ConsoleText(ReadFile(io / "stderr"));
    run.out = ConsoleText(ReadFile(io / "stdout"));
    return run;
}

int RunShell(const fs::path& dir, const std::string& script, std::string* pOutput) {
    TempDir io;
    // host_text: its input with the line ends of the program's ASCII host files.
    WriteFile(io / "script", "host_text() { if [ \"$HOST\" = windows ]; then perl -pe 's/\\n/\\r\\n/'; "
                             "else cat; fi; }\n" + script);
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
