// The directory survey: a read-only walk of every segment the chain reaches,
// for the check that reports each damage instead of stopping at the first.
#include <algorithm>

#include "os8_internal.h"

namespace os8 {
namespace {

// Takes the entries of the segment that lie inside its block, as far as its
// entry count goes.
void SurveyEntries(const BlockWords& awData, OS8_SURVEY_SEGMENT* pSegment,
                   std::vector<OS8_SURVEY_ENTRY>* pEntries) {
    const unsigned nAIW = pSegment->nAIW;
    unsigned nIndex = SEG_HEADER;
    unsigned nBlock = pSegment->nFirstBlock;
    for (unsigned n = 0; n < pSegment->nEntries; ++n) {
        if (nIndex + EMPTY_ENTRY_WORDS > DISK_BLOCK_WORDS)
            break;
        const bool fEmpty = awData[nIndex] == 0;
        const unsigned nWords = EntryWords(awData, nIndex, nAIW);
        if (nIndex + nWords > DISK_BLOCK_WORDS)
            break;
        OS8_SURVEY_ENTRY entry;
        entry.fEmpty = fEmpty;
        entry.nSegment = pSegment->nSegment;
        entry.nBlock = nBlock;
        entry.nLength = EntryBlocks(awData, nIndex, nAIW);
        if (!fEmpty) {
            std::copy_n(awData.begin() + nIndex, entry.awName.size(), entry.awName.begin());
            entry.wDate = nAIW > 0 ? awData[nIndex + ENTRY_DATE] : 0;
            entry.fTentative = nIndex == pSegment->nTentative && entry.nLength == 0;
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
        segment.nTentative = TentativeEntry(segment.wTentative, segment.nAIW);
        SurveyEntries(awData, &segment, &pSurvey->entries);
        nSegment = segment.nLink;
    }
}
