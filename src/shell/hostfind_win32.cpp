// The host wildcard search of Windows: FindFirstFileA, FindNextFileA and
// FindClose on the pattern as typed. Windows also matches a pattern against
// the short 8.3 alias of a name ("*.TX" finds "notes.txta" through its alias
// NOTES~1.TX); such finds are dropped, so that only names that match as they
// are seen (MatchHostName) count, as on every other host. Directories, "."
// and ".." are never found. The names are handed out in byte order, not in
// the file system's own order, so that a script writes the same files in
// the same order on every host.
#include <windows.h>

#include <algorithm>
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

// Closes the search handle when the enumeration ends or fails.
class FindHandle {
public:
    explicit FindHandle(HANDLE hFind) : m_hFind(hFind) {}
    ~FindHandle() {
        if (m_hFind != INVALID_HANDLE_VALUE)
            FindClose(m_hFind);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE Get() const { return m_hFind; }

private:
    HANDLE m_hFind;
};

bool IsDotEntry(const char* pszName) {
    return std::strcmp(pszName, ".") == 0 || std::strcmp(pszName, "..") == 0;
}

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
        WIN32_FIND_DATAA entry{};
        FindHandle hFind(FindFirstFileA(HostPath(pattern).c_str(), &entry));
        if (hFind.Get() != INVALID_HANDLE_VALUE && !namePattern.empty()) {
            do {
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsDotEntry(entry.cFileName))
                    continue;
                if (MatchHostName(namePattern, entry.cFileName))
                    g_search.names.emplace_back(entry.cFileName);
            } while (FindNextFileA(hFind.Get(), &entry));
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
