// Host paths and the matching of host wildcards, the same on every host.
// Names are matched as the Windows host matches them, so a command script
// behaves the same on both hosts: "*" is any run of characters, "?" one
// character, letters compare without regard to case, and "*.*" matches
// every name, with or without a dot. The directory search itself is the
// host's own (hostfind_posix.cpp, hostfind_win32.cpp).
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "shell.h"

namespace {

char Fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

bool MatchHostName(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*")
        pattern = "*";
    // Iterative match with one backtrack point for the last "*".
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The end of the drive and directory part. In a path given in quotes only
// "/" separates folders: a backslash there is part of a name.
std::size_t HostDirectoryEnd(std::string_view path, bool fQuoted) {
    std::size_t start = (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) ? 2 : 0;
    std::size_t slash = path.find_last_of(fQuoted ? "/" : "\\/");
    return (slash == std::string_view::npos || slash < start) ? start : slash + 1;
}

std::string HostPath(std::string_view path) {
    std::string host;
    if (IsQuoted(path)) {
        host = Unquote(path);
    } else {
        host = path;
        std::replace(host.begin(), host.end(), '\\', '/');
    }
    if (host.compare(0, 2, "~/") == 0) {
        const char* pszHome = std::getenv("HOME");
        if (pszHome != nullptr && *pszHome != '\0')
            host = pszHome + host.substr(1);
    }
    return host;
}

const char* HostReason(int nError) { return std::strerror(nError); }

void SplitHostPath(std::string_view path, std::string& directory, std::string& name,
                   std::string& extension) {
    std::size_t dirEnd = HostDirectoryEnd(path, false);
    directory = path.substr(0, dirEnd);
    std::string_view file = path.substr(dirEnd);
    std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos) {
        name = file;
        extension.clear();
    } else {
        name = file.substr(0, dot);
        extension = file.substr(dot);
    }
}

bool IsHostDirectory(std::string_view path) {
    // Without its final slashes (Windows finds no "out/", only "out"), but
    // a root ("/", "C:/") keeps its slash.
    std::string host = HostPath(path);
    std::size_t nKeep = host.size() >= 2 && host[1] == ':' ? 3 : 1;
    while (host.size() > nKeep && host.back() == '/')
        host.pop_back();
    struct stat info;
    return !path.empty() && stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
