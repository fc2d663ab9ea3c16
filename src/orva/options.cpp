// The command line of orva: options read with getopt_long, and the source
// of the commands (standard input, a script file, or -c commands).
#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "orva.h"
#include "shell.h"

namespace {

void PrintUsage(std::FILE* pStream) {
    std::fputs(
        "Usage: orva [OPTION]... [SCRIPT]\n"
        "Exchange files with OS/8 disks and disk images. Commands are read from\n"
        "SCRIPT, or from standard input when no SCRIPT is given; type HELP at the\n"
        "ORVA> prompt for the commands.\n"
        "\n"
        "  -c, --command=COMMAND  run COMMAND (may be given more than once), then end\n"
        "  -e, --stop-on-error    end with status 1 at the first command that\n"
        "                         reports an error\n"
        "  -h, --help             show this help and end\n"
        "  -V, --version          show the version and end\n",
        pStream);
}

// After the message about a wrong command line: the usage on standard
// error, and the program ends with ORVA_STATUS_USAGE.
bool RefuseCommandLine(int* pnStatus) {
    PrintUsage(stderr);
    *pnStatus = ORVA_STATUS_USAGE;
    return false;
}

}  // namespace

bool ParseOrvaOptions(int argc, char** argv, OrvaOptions* pOptions, int* pnStatus) {
    static const option kOptions[] = {
        {"command", required_argument, nullptr, 'c'},
        {"stop-on-error", no_argument, nullptr, 'e'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    *pOptions = OrvaOptions{};
    *pnStatus = 0;
    // "+": options end at the first non-option, as POSIX has it; ":": the
    // messages are ours, with the program's name rather than its path.
    optind = 1;
    opterr = 0;
    int nOption;
    while ((nOption = getopt_long(argc, argv, "+:c:ehV", kOptions, nullptr)) != -1) {
        switch (nOption) {
        case 'c':
            pOptions->commands.emplace_back(optarg);
            break;
        case 'e':
            pOptions->fStopOnError = true;
            break;
        case 'h':
            PrintUsage(stdout);
            return false;
        case 'V':
            std::printf("orva %s\n", ORVA_VERSION);
            return false;
        case ':':
            std::fprintf(stderr, "orva: option %s needs an argument\n", argv[optind - 1]);
            return RefuseCommandLine(pnStatus);
        default:
            if (optopt != 0)
                std::fprintf(stderr, "orva: unknown option -%c\n", optopt);
            else
                std::fprintf(stderr, "orva: unknown option %s\n", argv[optind - 1]);
            return RefuseCommandLine(pnStatus);
        }
    }
    int nOperands = argc - optind;
    if (nOperands == 1 && pOptions->commands.empty()) {
        pOptions->script = argv[optind];
    } else if (nOperands != 0) {
        std::fprintf(stderr, "orva: %s\n",
                     nOperands > 1 ? "only one script file may be given"
                                   : "a script file cannot be given with -c");
        return RefuseCommandLine(pnStatus);
    }
    return true;
}

bool OpenCommandSource(const OrvaOptions& options) {
    // "-" names standard input, as it does for other programs.
    if (!options.script.empty() && options.script != "-") {
        if (std::freopen(options.script.c_str(), "r", stdin) == nullptr) {
            Message('E', "unable to read script file %s (%s)", options.script.c_str(), HostReason(errno));
            return false;
        }
        return true;
    }
    if (options.commands.empty())
        return true;  // standard input as it is
    // The commands, one to a line, become standard input: a temporary file
    // (removed at once by the host) takes the place of descriptor 0.
    std::FILE* pCommands = std::tmpfile();
    bool fGood = pCommands != nullptr;
    for (const std::string& command : options.commands) {
        if (!fGood)
            break;
        fGood = std::fputs(command.c_str(), pCommands) >= 0 && std::fputc('\n', pCommands) != EOF;
    }
    fGood = fGood && std::fflush(pCommands) == 0 && std::fseek(pCommands, 0, SEEK_SET) == 0 &&
            dup2(fileno(pCommands), STDIN_FILENO) >= 0;
    int nError = errno;
    if (pCommands != nullptr)
        std::fclose(pCommands);
    if (!fGood) {
        Message('E', "unable to hold the -c commands (%s)", HostReason(nError));
        return false;
    }
    std::clearerr(stdin);
    return true;
}
