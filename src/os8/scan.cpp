// The directory scan: loading and checking segments, stepping through their
// entries, and the lookups built on it.
#include <cassert>

#include "os8_internal.h"
#include "shell.h"

namespace os8 {

unsigned EntriesEnd(const BlockWords& awData) {
    const unsigned nAIW = CountOf(awData[SEG_AIW]);
    unsigned nIndex = SEG_HEADER;
    for (unsigned n = CountOf(awData[SEG_ENTRIES]); n > 0; --n)
        nIndex += EntryWords(awData, nIndex, nAIW);
    return nIndex;
}

void ReportDamagedSegment(unsigned nSegment) {
    Message('E', "directory segment %u is damaged", nSegment);
    AbortCommand();
}

namespace {

// A segment read from disk is used only when its entries lie within words
// 5-255, its link names an unvisited segment block (or none), and its
// tentative word, when set, names a length word inside the segment.
void CheckSegment(const OS8_CONTEXT& context) {
    const BlockWords& awData = context.awData;
    const unsigned nAIW = CountOf(awData[SEG_AIW]);
    if (nAIW > MAX_AIW)
        ReportDamagedSegment(context.nSegmentLBN);

    unsigned nIndex = SEG_HEADER;
    for (unsigned n = CountOf(awData[SEG_ENTRIES]); n > 0; --n) {
        // An empty entry needs its two words inside the block before its
        // length word can be looked at.
        if (nIndex + EMPTY_ENTRY_WORDS > DISK_BLOCK_WORDS)
            ReportDamagedSegment(context.nSegmentLBN);
        nIndex += EntryWords(awData, nIndex, nAIW);
        if (nIndex > DISK_BLOCK_WORDS)
            ReportDamagedSegment(context.nSegmentLBN);
    }

    const unsigned nLink = awData[SEG_LINK];
    if (nLink != 0 &&
        (nLink < FIRST_SEGMENT || nLink > LAST_SEGMENT || (context.fVisited & (1u << nLink)) != 0))
        ReportDamagedSegment(context.nSegmentLBN);

    if (awData[SEG_TENTATIVE] != 0 && TentativeEntry(awData[SEG_TENTATIVE], nAIW) == 0)
        ReportDamagedSegment(context.nSegmentLBN);
}

// Reports the entry the context stands on.
void GetEntry(const OS8_CONTEXT& context, std::string* pName, int* pnBlock, int* pnLength,
              std::uint16_t* pwDate, bool* pfTentative) {
    const unsigned nPoint = static_cast<unsigned>(context.nPoint);
    const BlockWords& awData = context.awData;
    const bool fEmpty = awData[nPoint] == 0;
    if (pName != nullptr) {
        if (fEmpty)
            pName->clear();
        else
            *pName = DecodeFileName(&awData[nPoint]);
    }
    if (pnBlock != nullptr)
        *pnBlock = context.nBlock;
    if (pnLength != nullptr)
        *pnLength = static_cast<int>(EntryBlocks(awData, nPoint, context.nAIW));
    if (pwDate != nullptr)
        *pwDate = (!fEmpty && context.nAIW > 0) ? awData[nPoint + ENTRY_DATE] : 0;
    // OS/8 leaves the tentative word set after it closes the file, so only
    // an entry that still has length 0 is tentative.
    if (pfTentative != nullptr)
        *pfTentative = !fEmpty && context.nPoint == context.nTentative &&
                       EntryBlocks(awData, nPoint, context.nAIW) == 0;
}

}  // namespace

void StepEntry(OS8_CONTEXT* pContext) {
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    pContext->nBlock += static_cast<int>(EntryBlocks(pContext->awData, nPoint, pContext->nAIW));
    pContext->nFiles -= 1;
    pContext->nPrevious = pContext->nPoint;
    pContext->nPoint += static_cast<int>(EntryWords(pContext->awData, nPoint, pContext->nAIW));
}

void RewindSegment(OS8_CONTEXT* pContext) {
    const BlockWords& awData = pContext->awData;
    pContext->nFiles = CountOf(awData[SEG_ENTRIES]);
    pContext->nBlock = awData[SEG_FIRST];
    pContext->nPoint = SEG_HEADER;
    pContext->nPrevious = 0;
}

bool LoadSegment(OS8_CONTEXT* pContext) {
    const unsigned nSegment = pContext->nNextSegment;
    if (nSegment == 0)
        return false;
    // The link was checked when the segment holding it was loaded.
    assert(nSegment >= FIRST_SEGMENT && nSegment <= LAST_SEGMENT);
    ReadBlock(nSegment, pContext->awData.data());
    pContext->nSegmentLBN = nSegment;
    pContext->fVisited |= 1u << nSegment;
    CheckSegment(*pContext);

    const BlockWords& awData = pContext->awData;
    pContext->nNextSegment = awData[SEG_LINK];
    pContext->nAIW = CountOf(awData[SEG_AIW]);
    pContext->nTentative = static_cast<int>(TentativeEntry(awData[SEG_TENTATIVE], pContext->nAIW));
    RewindSegment(pContext);
    return true;
}

}  // namespace os8

using namespace os8;

void InitContext(OS8_CONTEXT* pContext) {
    *pContext = OS8_CONTEXT{};
    pContext->nNextSegment = FIRST_SEGMENT;
}

bool NextEntry(OS8_CONTEXT* pContext, std::string* pName, int* pnBlock, int* pnLength,
               std::uint16_t* pwDate, bool* pfTentative) {
    if (pContext->nFiles > 0)
        StepEntry(pContext);
    while (pContext->nFiles == 0) {
        if (!LoadSegment(pContext))
            return false;
    }
    GetEntry(*pContext, pName, pnBlock, pnLength, pwDate, pfTentative);
    return true;
}

bool FindFile(OS8_CONTEXT* pContext, std::string_view pattern, std::string& name, int* pnBlock,
              int* pnLength, std::uint16_t* pwDate, bool* pfTentative) {
    while (NextEntry(pContext, &name, pnBlock, pnLength, pwDate, pfTentative)) {
        if (!name.empty() && MatchWildcard(pattern, name))
            return true;
    }
    return false;
}

bool FindWholeName(OS8_CONTEXT* pContext, std::string_view pattern, std::string& name) {
    while (NextEntry(pContext, &name, nullptr, nullptr, nullptr, nullptr)) {
        if (!name.empty() && MatchWholeName(pattern, name))
            return true;
    }
    return false;
}

bool FileExists(std::string_view name) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string found;
    return FindFile(&context, name, found, nullptr, nullptr, nullptr, nullptr);
}

bool FindStoredName(OS8_CONTEXT* pContext, std::string_view name, std::string& found, int* pnBlock,
                    int* pnLength) {
    const OS8Name awName = EncodeFileName(name);
    while (NextEntry(pContext, nullptr, nullptr, nullptr, nullptr, nullptr)) {
        const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
        const BlockWords& awData = pContext->awData;
        if (awData[nPoint] == 0)
            continue;
        if (awData[nPoint] == awName[0] && awData[nPoint + 1] == awName[1] &&
            awData[nPoint + 2] == awName[2] && awData[nPoint + 3] == awName[3]) {
            GetEntry(*pContext, &found, pnBlock, pnLength, nullptr, nullptr);
            return true;
        }
    }
    return false;
}

bool StoredNameExists(std::string_view name) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string found;
    return FindStoredName(&context, name, found, nullptr, nullptr);
}

bool IsSystemDisk() {
    BlockWords awData;
    ReadBlock(FIRST_SEGMENT, awData.data());
    return awData[SEG_FIRST] > OS8_FIRST_FILE_BLOCK;
}

void WriteSegment(OS8_CONTEXT* pContext) {
    assert(pContext->nSegmentLBN != 0);
    WriteBlock(pContext->nSegmentLBN, pContext->awData.data());
}
