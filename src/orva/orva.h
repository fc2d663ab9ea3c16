// The orva program: the command loop, which reads command lines and hands
// each one to its command handler, above every other module of orva.
#pragma once

#include <string>

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
