// Host paths and the matching of host wildcards, the same on every host.
// Names are matched as the Windows host matches them, so a command script
// behaves the same on both hosts: "*" is any run of characters, "?" one
// character, letters compare without regard to case, and "*.*" matches
// every name, with or without a dot. The listing of a directory is the
// host's own (ListHostFiles in hostfind_posix.cpp, hostfind_win32.cpp).
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell.h"

namespace {

// The search in progress: the directory part as typed and the names found.
struct HostSearch {
    std::string directory;
    bool fQuoted = false;
    std::vector<std::string> names;
    std::size_t next = 0;
};
HostSearch g_search;

char Fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

bool MatchWholePattern(std::string_view pattern, std::string_view text) {
    // Iterative match with one backtrack point for the last "*".
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(text[n]))) {
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

bool MatchHostName(std::string_view pattern, std::string_view name) {
    return MatchWholePattern(pattern == "*.*" ? std::string_view("*") : pattern, name);
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

bool FindHostFile(bool fFirst, std::string_view pattern, std::string& path) {
    if (fFirst) {
        g_search = HostSearch{};
        // A quoted pattern: the folder part is taken as written, and the
        // paths found are quoted again.
        g_search.fQuoted = IsQuoted(pattern);
        const std::string plain = Unquote(pattern);
        const std::size_t dirEnd = HostDirectoryEnd(plain, g_search.fQuoted);
        g_search.directory = plain.substr(0, dirEnd);
        const std::string lookup = HostPath(g_search.fQuoted ? Quote(g_search.directory) : g_search.directory);
        g_search.names = ListHostFiles(lookup, std::string_view(plain).substr(dirEnd));
        // Byte order, not the file system's own, so that a script writes
        // the same files in the same order on every host.
        std::sort(g_search.names.begin(), g_search.names.end());
    }
    if (g_search.next >= g_search.names.size()) {
        g_search = HostSearch{};
        return false;
    }
    path = g_search.directory + g_search.names[g_search.next++];
    if (g_search.fQuoted)
        path = Quote(path);
    return true;
}
