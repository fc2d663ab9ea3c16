// The pieces of the test programs that differ between POSIX hosts and
// Windows: starting a program with its standard streams redirected.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testhost {

namespace fs = std::filesystem;

// Runs `program` with `args` in `dir`, standard input empty, standard
// output and error into the two files; the exit status, or -1 when the
// program could not be started or did not exit.
inline int RunRedirected(const fs::path& program, const fs::path& dir,
                         const std::vector<std::string>& args, const fs::path& outPath,
                         const fs::path& errPath) {
#ifdef _WIN32
    // _spawnv joins the arguments with blanks: each is quoted, so that an
    // argument with a blank (or an empty one) stays one argument.
    std::vector<std::string> argvText{program.string()};
    argvText.insert(argvText.end(), args.begin(), args.end());
    for (std::string& arg : argvText)
        arg = "\"" + arg + "\"";
    std::vector<const char*> argv;
    for (const std::string& arg : argvText)
        argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    const fs::path savedDir = fs::current_path();
    const int fdIn = _open("NUL", _O_RDONLY);
    const int fdOut = _open(outPath.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    const int fdErr = _open(errPath.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    const int savedIn = _dup(0), savedOut = _dup(1), savedErr = _dup(2);
    int nStatus = -1;
    std::fflush(stdout);
    std::fflush(stderr);
    if (fdIn >= 0 && fdOut >= 0 && fdErr >= 0 && _dup2(fdIn, 0) == 0 && _dup2(fdOut, 1) == 0 &&
        _dup2(fdErr, 2) == 0) {
        std::error_code ec;
        fs::current_path(dir, ec);
        if (!ec) {
            const intptr_t nResult = _spawnv(_P_WAIT, program.string().c_str(), argv.data());
            nStatus = nResult < 0 ? -1 : static_cast<int>(nResult);
        }
        fs::current_path(savedDir, ec);
    }
    _dup2(savedIn, 0);
    _dup2(savedOut, 1);
    _dup2(savedErr, 2);
    for (int fd : {fdIn, fdOut, fdErr, savedIn, savedOut, savedErr})
        if (fd >= 0)
            _close(fd);
    return nStatus;
#else
    std::vector<std::string> argvText{program.string()};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const int fdIn = open("/dev/null", O_RDONLY);
        const int fdOut = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int fdErr = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fdIn < 0 || fdOut < 0 || fdErr < 0 || dup2(fdIn, 0) < 0 || dup2(fdOut, 1) < 0 ||
            dup2(fdErr, 2) < 0 || chdir(dir.c_str()) != 0)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int nWait = 0;
    if (waitpid(pid, &nWait, 0) == pid && WIFEXITED(nWait))
        return WEXITSTATUS(nWait);
    return -1;
#endif
}

}  // namespace testhost
