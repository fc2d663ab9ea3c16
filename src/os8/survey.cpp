// The directory survey: a read-only walk of every segment the chain reaches,
// for the check that reports each damage instead of stopping at the first.
#include "os8_internal.h"

namespace os8 {
namespace {

// Takes the entries of the segment that lie inside its block, as far as its
// entry count goes.
void SurveyEntries(const BlockWords& awData, OS8_SURVEY_SEGMENT* pSegment,
                   std::vector<OS8_SURVEY_ENTRY>* pEntries) {
    const unsigned nAIW = pSegment->nAIW;
    // The index of the tentative entry, when the word names one inside the
    // block (as the scan demands).
    unsigned nTentative = 0;
    const unsigned wTentative = pSegment->wTentative;
    if (wTentative > TENTATIVE_BASE + 4 + nAIW && wTentative - TENTATIVE_BASE < DISK_BLOCK_WORDS)
        nTentative = wTentative - TENTATIVE_BASE - 4 - nAIW;

    unsigned nIndex = SEG_HEADER;
    unsigned nBlock = pSegment->nFirstBlock;
    for (unsigned n = 0; n < pSegment->nEntries; ++n) {
        if (nIndex + 2 > DISK_BLOCK_WORDS)
            break;
        const bool fEmpty = awData[nIndex] == 0;
        const unsigned nWords = fEmpty ? 2 : FileEntryWords(nAIW);
        if (nIndex + nWords > DISK_BLOCK_WORDS)
            break;
        OS8_SURVEY_ENTRY entry;
        entry.fEmpty = fEmpty;
        entry.nSegment = pSegment->nSegment;
        entry.nBlock = nBlock;
        entry.nLength = EntryBlocks(awData, nIndex, nAIW);
        if (!fEmpty) {
            for (unsigned k = 0; k < 4; ++k)
                entry.awName[k] = awData[nIndex + k];
            entry.wDate = nAIW > 0 ? awData[nIndex + 4] : 0;
            entry.fTentative = nIndex == nTentative && entry.nLength == 0;
        }
        pEntries->push_back(entry);
        nBlock += entry.nLength;
        nIndex += nWords;
        pSegment->nEntriesRead += 1;
    }
    pSegment->nEndBlock = nBlock;
}

}  // namespace
}  // namespace os8

using namespace os8;

void SurveyDirectory(OS8_SURVEY* pSurvey) {
    pSurvey->segments.clear();
    pSurvey->entries.clear();
    unsigned fVisited = 0;
    unsigned nSegment = FIRST_SEGMENT;
    while (nSegment >= FIRST_SEGMENT && nSegment <= LAST_SEGMENT &&
           (fVisited & (1u << nSegment)) == 0) {
        fVisited |= 1u << nSegment;
        pSurvey->segments.emplace_back();
        OS8_SURVEY_SEGMENT& segment = pSurvey->segments.back();
        segment.nSegment = nSegment;
        BlockWords awData{};
        ReadBlock(nSegment, awData.data());
        segment.fRead = true;
        segment.nEntries = CountOf(awData[SEG_ENTRIES]);
        segment.nFirstBlock = awData[SEG_FIRST];
        segment.nLink = awData[SEG_LINK];
        segment.wTentative = awData[SEG_TENTATIVE];
        segment.nAIW = CountOf(awData[SEG_AIW]);
        SurveyEntries(awData, &segment, &pSurvey->entries);
        nSegment = segment.nLink;
    }
}
