// The directory listing of Windows for the host wildcard search:
// FindFirstFileA, FindNextFileA and FindClose on the directory and name
// pattern. Windows also matches a pattern against the short 8.3 alias of a
// name ("*.TX" finds "notes.txta" through its alias NOTES~1.TX); such finds
// are dropped, so that only names that match as they are seen
// (MatchHostName) count, as on every other host. Directories, "." and ".."
// are never found.
#include <windows.h>

#include <cstring>
#include <vector>

#include "shell.h"

namespace {

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

std::vector<std::string> ListHostFiles(std::string_view directory, std::string_view namePattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    FindHandle hFind(FindFirstFileA((std::string(directory) + std::string(namePattern)).c_str(), &entry));
    if (hFind.Get() != INVALID_HANDLE_VALUE && !namePattern.empty()) {
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsDotEntry(entry.cFileName))
                continue;
            if (MatchHostName(namePattern, entry.cFileName))
                names.emplace_back(entry.cFileName);
        } while (FindNextFileA(hFind.Get(), &entry));
    }
    return names;
}
