// The directory listing of a POSIX host for the host wildcard search: the
// directory is read with opendir and readdir, and the names are matched by
// the Windows rules (MatchHostName), so that a command script finds the
// same files on both hosts. Only regular files are found.
#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "shell.h"

std::vector<std::string> ListHostFiles(std::string_view directory, std::string_view namePattern) {
    std::vector<std::string> names;
    const std::string lookup = directory.empty() ? std::string(".") : std::string(directory);
    if (DIR* dir = opendir(lookup.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string found = entry->d_name;
            if (!MatchHostName(namePattern, found))
                continue;
            struct stat info;
            std::string full = lookup + "/" + found;
            if (stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                names.push_back(found);
        }
        closedir(dir);
    }
    return names;
}
