// The DIRECTORY command: lists the files of the mounted unit or partition
// that match one or more patterns, on the console or into a host text file.
#include <cassert>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "commands.h"
#include "disk.h"
#include "hostio.h"
#include "os8.h"
#include "shell.h"

namespace {

// Each line of the listing is formatted in full and written with one call:
// on the unbuffered console every call is a write of its own.
using LineText = std::array<char, SHELL_TEXT_MAX + 64>;

// Day, month name and year in nine columns; " (none)  " when the directory
// keeps no date for the file.
void FormatDate(char* pszText, std::size_t cbText, std::uint16_t wDate) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (wDate == 0) {
        std::snprintf(pszText, cbText, " (none)  ");
        return;
    }
    int nDay = 0, nMonth = 0, nYear = 0;
    DecodeDate(wDate, &nDay, &nMonth, &nYear);
    assert(nMonth >= 1 && nMonth <= 12);
    std::snprintf(pszText, cbText, "%2d-%s-%2d", nDay, kMonths[nMonth - 1], nYear);
}

// Lists the files that match one pattern, in directory order, and adds them
// to the counters; true when at least one matched.
bool ListMatches(std::FILE* pStream, std::string_view pattern, bool fBrief,
                 unsigned& nFilesListed, int& nBlocksListed) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0, nLength = 0;
    std::uint16_t wDate = 0;
    bool fTentative = false;
    bool fMatched = false;
    LineText line{};
    while (FindFile(&context, pattern, name, &nBlock, &nLength, &wDate, &fTentative)) {
        // An entry of length 0 holds no file: it is what an interrupted
        // write leaves behind (a tentative file that was never closed), and
        // OS/8's own DIR does not list it. Neither does this listing.
        if (nLength == 0)
            continue;
        fMatched = true;
        ++nFilesListed;
        if (fBrief) {
            // Five names to a line.
            std::snprintf(line.data(), line.size(), "%-9s%s", name.c_str(),
                          nFilesListed % 5 == 0 ? "\n" : "    ");
        } else {
            std::array<char, 32> date{};
            FormatDate(date.data(), date.size(), wDate);
            std::snprintf(line.data(), line.size(), "%-9s%5d   %s  (%04o)%s\n", name.c_str(), nLength,
                          date.data(), static_cast<unsigned>(nBlock), fTentative ? "  [TENTATIVE]" : "");
        }
        std::fputs(line.data(), pStream);
        nBlocksListed += nLength;
    }
    if (fBrief && nFilesListed % 5 != 0)
        std::fputs("\n", pStream);
    return fMatched;
}

// The blocks of all empty areas of all segments of the unit or partition.
unsigned CountFreeBlocks() {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nLength = 0;
    unsigned nFree = 0;
    while (NextEntry(&context, &name, nullptr, &nLength, nullptr, nullptr)) {
        if (name.empty() && nLength > 0)
            nFree += static_cast<unsigned>(nLength);
    }
    return nFree;
}

void ListDirectory(std::FILE* pStream, const std::string& patterns, bool fBrief) {
    if (!CheckMounted())
        return;
    LineText line{};
    std::uint32_t nPartition = 0;
    if (GetPartition(&nPartition))
        std::snprintf(line.data(), line.size(), "\nDirectory of %s, partition %d\n",
                      GetDiskName().c_str(), static_cast<int>(nPartition));
    else
        std::snprintf(line.data(), line.size(), "\nDirectory of %s\n", GetDiskName().c_str());
    std::fputs(line.data(), pStream);
    unsigned nFilesListed = 0;
    int nBlocksListed = 0;
    std::string pattern;
    for (unsigned nIndex = 0; GetListItem(patterns, pattern, ',', nIndex); ++nIndex) {
        if (!ListMatches(pStream, pattern, fBrief, nFilesListed, nBlocksListed))
            Message('W', "no files found to match %s", pattern.c_str());
    }
    if (fBrief)
        std::snprintf(line.data(), line.size(), "\nTotal of %u files.\n", nFilesListed);
    else
        std::snprintf(line.data(), line.size(), "\nTotal of %d blocks in %u files.\n%u blocks free.\n",
                      nBlocksListed, nFilesListed, CountFreeBlocks());
    std::fputs(line.data(), pStream);
}

}  // namespace

void DoDirectory(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fBrief = false;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (MatchKeyword(word, "BRIEF", 3)) {
            fBrief = true;
        } else if (MatchKeyword(word, "FULL", 3)) {
            fBrief = false;
        } else {
            ReportUnknownQualifier(word);
            return;
        }
    }
    if (!param2.empty() && CheckNoList(param2)) {
        if (RefuseMountedDisk(param2, param2))
            return;
        const std::string shownName = Unquote(param2);
        HostStream file(std::fopen(HostPath(param2).c_str(), "w"));
        if (!file.IsOpen()) {
            Message('E', "unable to write file %s (%s)", shownName.c_str(), HostReason(errno));
            return;
        }
        // A device fault or a damaged directory abandons the listing; the
        // file is closed all the same.
        ListDirectory(file.Get(), param1, fBrief);
        // A listing the host file did not take (a full disk) is reported,
        // not passed over. The final flush fails again with the reason
        // when an earlier write failed.
        errno = 0;
        if (!file.Close())
            Message('E', "unable to write file %s (%s)", shownName.c_str(), HostReason(errno != 0 ? errno : EIO));
        return;
    }
    // Intended: after "list not allowed" for the output file the listing
    // still comes, on the console, rather than nothing at all.
    ListDirectory(stderr, param1.empty() ? std::string("*.*") : param1, fBrief);
}
