// The command loop: reads command lines, hands "!" lines to the host, and
// dispatches every other line by its abbreviated command word.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "commands.h"
#include "disk.h"
#include "orva.h"
#include "os8.h"
#include "shell.h"

namespace {

bool g_fExit = false;

// A process file-size limit would otherwise kill the program in the middle
// of a write to an image or host file; ignored, the write fails with "File
// too large" and the command ends as after any other device fault.
void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

// A line whose first non-blank character is ";" or "#" is a comment.
bool IsComment(const std::string& line) {
    std::size_t nFirst = line.find_first_not_of(" \t\r\n\v\f");
    return nFirst != std::string::npos && (line[nFirst] == ';' || line[nFirst] == '#');
}

#ifdef ORVA_LINE_EDITING
// Tab completion: the names of the mounted unit. A damaged directory or a
// device fault has been reported and ends the list.
void ListOS8Names(std::vector<std::string>& names) {
    if (!IsDiskMounted())
        return;
    try {
        OS8_CONTEXT context;
        InitContext(&context);
        std::string name;
        while (NextEntry(&context, &name, nullptr, nullptr, nullptr, nullptr)) {
            if (!name.empty())
                names.push_back(name);
        }
    } catch (const CommandAbort&) {
    }
}
#endif

}  // namespace

void ShowHelp() {
    static const char* const kHelp[] = {
        "Commands: (dot indicates shortest abbreviation)",
        "MOU.NT <file or device> [/RX01][/RX02][/RX50][/NB.03][/HE.02]",
        "      [/RK.05][/TU.56][/PHY.SICAL][/VIR.TUAL][/READ._ONLY]",
        "      [/SYS.TEM][/INI.TIALIZE][/NOCONF.IRM]",
        "DISM.OUNT",
        "PART.ITION <number>|<letter>",
        "DU.MP <block> [<last block>]",
        "VER.IFY [/ALL]",
        "DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]",
        "TY.PE <file(s)>[/CONF.IRM]",
        "REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]",
        "      [/IM.AGE][/AS.CII][/BY.TE]",
        "REN.AME <oldfile(s)> <newfile(s)>[/CONF.IRM]",
        "DEL.ETE <file(s)>[/CONF.IRM]",
        "WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]",
        "      [/IM.AGE][/AS.CII][/BY.TE]",
        "ZER.O [/SYS.TEM][/NOCONF.IRM]",
        "Q.UIT / EX.IT",
        "!<operating system command>",
        "",
        "<file(s)> means: filename, a wildcard, or a list of these",
        "separated by commas.",
    };
    for (const char* pszLine : kHelp)
        Message('I', "%s", pszLine);
}

void DoExit(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    if (!CheckNoQualifiers(qualifiers))
        return;
    if (!CheckParameterCount(0, param1, param2))
        return;
    g_fExit = true;
}

void DoCommand(const std::string& line) {
    if (line.empty() || IsComment(line))
        return;
    // A line cut to fit would run as another command than the one typed.
    if (IsLineTooLong(line)) {
        Message('E', "command line too long");
        return;
    }
    if (line[0] == '!') {
        // The host's answer is its own business; its status is not ours.
        [[maybe_unused]] int status = std::system(line.c_str() + 1);
        return;
    }
    if (line == "?") {
        ShowHelp();
        return;
    }
    std::string command, qualifiers, param1, param2;
    if (!ParseCommand(line, command, qualifiers, param1, param2))
        return;
    try {
        if (MatchKeyword(command, "HELP", 1))
            ShowHelp();
        else if (MatchKeyword(command, "EXIT", 2))
            DoExit(qualifiers, param1, param2);
        else if (MatchKeyword(command, "QUIT", 1))
            DoExit(qualifiers, param1, param2);
        else if (MatchKeyword(command, "MOUNT", 3))
            DoMount(qualifiers, param1, param2);
        else if (MatchKeyword(command, "DISMOUNT", 4))
            DoDismount(qualifiers, param1, param2);
        else if (MatchKeyword(command, "PARTITION", 4))
            DoPartition(qualifiers, param1, param2);
        else if (MatchKeyword(command, "DUMP", 2))
            DoDump(qualifiers, param1, param2);
        else if (MatchKeyword(command, "DIRECTORY", 3))
            DoDirectory(qualifiers, param1, param2);
        else if (MatchKeyword(command, "TYPE", 2))
            DoType(qualifiers, param1, param2);
        else if (MatchKeyword(command, "READ", 3))
            DoRead(qualifiers, param1, param2);
        else if (MatchKeyword(command, "RENAME", 3))
            DoRename(qualifiers, param1, param2);
        else if (MatchKeyword(command, "DELETE", 3))
            DoDelete(qualifiers, param1, param2);
        else if (MatchKeyword(command, "WRITE", 3))
            DoWrite(qualifiers, param1, param2);
        else if (MatchKeyword(command, "ZERO", 3))
            DoZero(qualifiers, param1, param2);
        else if (MatchKeyword(command, "VERIFY", 3))
            DoVerify(qualifiers, param1, param2);
        else {
            Message('E', "unknown command %s", command.c_str());
            ShowHelp();
        }
    } catch (const CommandAbort&) {
        // The fault has been reported; the command is over.
    }
}

int OrvaMain(int argc, char** argv) {
    SetProgramName("ORVA");
    IgnoreFileSizeSignal();
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    int nStatus = 0;
    if (argc == 2 && (argv[1][0] == '-' || argv[1][0] == '/') && argv[1][1] == '?') {
        ShowHelp();
        return 0;
    }
    OrvaOptions options;
    if (!ParseOrvaOptions(argc, argv, &options, &nStatus))
        return nStatus;
    if (!OpenCommandSource(options))
        return ORVA_STATUS_USAGE;
#ifdef ORVA_LINE_EDITING
    SetOS8NameLister(ListOS8Names);
#endif
    // With -e the first command that reports an error (E) ends the run.
    std::string line;
    while (!g_fExit) {
        unsigned long nErrors = GetErrorCount();
        if (!ReadCommandLine(line))
            g_fExit = true;
        else
            DoCommand(line);
        if (options.fStopOnError && GetErrorCount() != nErrors) {
            nStatus = ORVA_STATUS_ERROR;
            break;
        }
    }
    if (IsDiskMounted())
        DismountCurrent();
    return nStatus;
}
