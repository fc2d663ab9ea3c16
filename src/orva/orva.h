// The orva program: the command loop, which reads command lines and hands
// each one to its command handler, above every other module of orva.
#pragma once

#include <string>
#include <vector>

// Runs one command line: "!" lines go to the host, every other line to the
// handler its abbreviated command word selects. A command that ends with a
// CommandAbort ends here; the next line is read as usual.
void DoCommand(const std::string& line);
void ShowHelp();
// EXIT and QUIT: the command loop ends after this command.
void DoExit(const std::string& qualifiers, const std::string& param1,
            const std::string& param2);
// The whole program: returns the exit status.
int OrvaMain(int argc, char** argv);

// ---- Program options -------------------------------------------------------

inline constexpr int ORVA_STATUS_ERROR = 1;  // -e: a command reported an error
inline constexpr int ORVA_STATUS_USAGE = 2;  // a wrong command line, no script

struct OrvaOptions {
    bool fStopOnError = false;          // -e, --stop-on-error
    std::vector<std::string> commands;  // -c, --command, in order
    std::string script;                 // the script file, empty for none
};

// Reads the options with getopt_long. False when the program is to end at
// once with *pnStatus: after --help or --version (0), or after the usage on
// standard error (ORVA_STATUS_USAGE).
bool ParseOrvaOptions(int argc, char** argv, OrvaOptions* pOptions, int* pnStatus);
// Makes the -c commands or the script file the program's standard input, so
// that commands and answers both come from it. False after its message.
bool OpenCommandSource(const OrvaOptions& options);
