// The DUMP command (blocks in octal, SIXBIT and text) and the TYPE command
// (OS/8 text files on the console).
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "commands.h"
#include "devices.h"
#include "disk.h"
#include "os8.h"
#include "shell.h"

namespace {

// Block numbers stay unsigned long from the conversion on, so that a huge
// number is refused by the range check instead of wrapping to a small one.
bool ParseBlockNumber(const std::string& text, unsigned long* pnBlock) {
    char* pszEnd = nullptr;
    *pnBlock = std::strtoul(text.c_str(), &pszEnd, 0);
    if (*pszEnd != '\0') {
        Message('E', "not a valid number - \"%s\"", pszEnd);
        return false;
    }
    return true;
}

// DUMP stops at the last block OS/8 uses, even where the mapping reaches
// further.
unsigned long HighestBlock(DiskType nDiskType) {
    if (nDiskType == DiskType::None)
        return 0;
    return GetDeviceInfo(nDiskType).nOS8Blocks - 1;
}

bool CheckBlockRange(unsigned long nFirst, unsigned long nLast) {
    if (nFirst > nLast) {
        Message('E', "ending block must be greater than starting");
        return false;
    }
    if (nLast > HighestBlock(GetDiskType())) {
        Message('E', "block number is too large for disk");
        return false;
    }
    return true;
}

char TextChar(std::uint8_t b) {
    unsigned c = b & 0x7F;
    return c >= 32 && c <= 126 ? static_cast<char>(c) : '.';
}

void DumpBlock(std::FILE* pStream, unsigned long nBlock) {
    BlockWords awData{};
    ReadBlock(static_cast<unsigned>(nBlock), awData.data());
    // Some images keep bits above the twelfth; the dump shows the word.
    for (auto& w : awData)
        w &= 07777;
    std::array<std::uint8_t, OS8_BYTE_BLOCK_SIZE> abData{};
    UnpackBlock(awData.data(), abData.data());

    std::fprintf(pStream, "\nDump of OS/8 LBN %d (%04o)", static_cast<int>(nBlock),
                 static_cast<unsigned>(nBlock));
    std::uint32_t nPartition = 0;
    if (GetPartition(&nPartition))
        std::fprintf(pStream, ", partition %d", static_cast<int>(nPartition));
    std::fputs("\n", pStream);

    for (unsigned r = 0; r < DISK_BLOCK_WORDS; r += 8) {
        char szLine[80];
        int n = std::snprintf(szLine, sizeof szLine, "%04o/", r);
        for (unsigned i = 0; i < 8; ++i)
            n += std::snprintf(szLine + n, sizeof szLine - n, " %04o", awData[r + i]);
        szLine[n++] = ' ';
        szLine[n++] = ' ';
        for (unsigned i = 0; i < 8; ++i) {
            szLine[n++] = SixbitChar((awData[r + i] >> 6) & 077);
            szLine[n++] = SixbitChar(awData[r + i] & 077);
        }
        szLine[n++] = ' ';
        szLine[n++] = ' ';
        for (unsigned i = 0; i < 12; ++i)
            szLine[n++] = TextChar(abData[3 * r / 2 + i]);
        szLine[n++] = '\n';
        szLine[n] = '\0';
        std::fputs(szLine, pStream);
    }
    std::fputs("\n", pStream);
}

// Types every file that matches the pattern; true when at least one matched,
// typed or not.
bool TypeFiles(std::string_view pattern, bool fConfirm) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0, nLength = 0;
    bool fMatched = false;
    while (FindFile(&context, pattern, name, &nBlock, &nLength, nullptr, nullptr)) {
        fMatched = true;
        if (fConfirm && !Confirm("Type file %s ?", true, name.c_str()))
            continue;
        std::fprintf(stderr, "\n[%s]\n\n", name.c_str());
        // The console takes what it is given; there is nowhere to report
        // a failure to write to it.
        (void)CopyAsciiOut(static_cast<unsigned>(nBlock), static_cast<unsigned>(nLength), stderr);
        std::fputs("\n", stderr);
    }
    return fMatched;
}

}  // namespace

void DoDump(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    if (!CheckNoQualifiers(qualifiers))
        return;
    if (param1.empty()) {
        Message('E', "specify block number to dump");
        return;
    }
    if (!CheckMounted())
        return;
    unsigned long nFirst = 0;
    if (!ParseBlockNumber(param1, &nFirst))
        return;
    unsigned long nLast = nFirst;
    if (!param2.empty() && !ParseBlockNumber(param2, &nLast))
        return;
    if (!CheckBlockRange(nFirst, nLast))
        return;
    for (unsigned long nBlock = nFirst; nBlock <= nLast; ++nBlock)
        DumpBlock(stderr, nBlock);
}

void DoType(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fConfirm = false;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (!MatchQualifier(word, "CONFIRM", 4, &fConfirm)) {
            ReportUnknownQualifier(word);
            return;
        }
    }
    if (!CheckParameterCount(1, param1, param2) || !CheckMounted())
        return;
    std::string pattern;
    for (unsigned nIndex = 0; GetListItem(param1, pattern, ',', nIndex); ++nIndex) {
        if (!TypeFiles(pattern, fConfirm))
            Message('W', "no files found to match %s", pattern.c_str());
    }
}
