// The host wildcard search of a POSIX host: the directory is read with
// opendir and readdir, and the names are matched by the Windows rules
// (MatchHostName), so that a command script finds the same files on both
// hosts. Only regular files are found, in byte order of their names.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
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

}  // namespace

bool FindHostFile(bool fFirst, std::string_view pattern, std::string& path) {
    if (fFirst) {
        g_search = HostSearch{};
        // A quoted pattern: the folder part is taken as written, and the
        // paths found are quoted again.
        g_search.fQuoted = IsQuoted(pattern);
        const std::string plain = Unquote(pattern);
        const std::size_t dirEnd = HostDirectoryEnd(plain, g_search.fQuoted);
        g_search.directory = plain.substr(0, dirEnd);
        std::string_view namePattern = std::string_view(plain).substr(dirEnd);
        std::string lookup = g_search.directory.empty() ? std::string(".") : HostPath(g_search.fQuoted ? Quote(g_search.directory) : g_search.directory);
        if (DIR* dir = opendir(lookup.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                std::string found = entry->d_name;
                if (!MatchHostName(namePattern, found))
                    continue;
                struct stat info;
                std::string full = lookup + "/" + found;
                if (stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                    g_search.names.push_back(found);
            }
            closedir(dir);
        }
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
