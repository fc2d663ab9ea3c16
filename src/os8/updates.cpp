// Directory updates: tentative files, delete, rename and empty directories.
#include <algorithm>
#include <cassert>

#include "devices.h"
#include "os8_internal.h"

namespace os8 {

void RemoveWords(OS8_CONTEXT* pContext, unsigned nIndex, unsigned nCount) {
    BlockWords& awData = pContext->awData;
    for (unsigned i = nIndex; i < DISK_BLOCK_WORDS; ++i)
        awData[i] = i + nCount < DISK_BLOCK_WORDS ? awData[i + nCount] : 0;
}

bool MakeRoom(OS8_CONTEXT* pContext, unsigned nCount) {
    BlockWords& awData = pContext->awData;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    unsigned nEnd = nPoint;
    for (unsigned n = pContext->nFiles; n > 0; --n)
        nEnd += EntryWords(awData, nEnd, pContext->nAIW);
    if (nEnd + nCount > DISK_BLOCK_WORDS)
        return false;
    for (unsigned i = nEnd; i > nPoint; --i)
        awData[i - 1 + nCount] = awData[i - 1];
    std::fill_n(awData.begin() + nPoint, nCount, std::uint16_t{0});
    return true;
}

}  // namespace os8

using namespace os8;

namespace {

// ---- Making room across segments ------------------------------------------
//
// When the segment holding the chosen free area cannot take one more file
// entry, entries are moved between segments the way OS/8 does it: the last
// entry of the segment goes to the front of the next one (which first makes
// room the same way), and the last segment of the chain gets a new one in
// the lowest free block of 2-6. If that is impossible because the chain
// already has six segments, the entries before the free area are moved back
// to the end of the segments before it instead. Entries keep their order and
// the blocks they describe; only the segment that holds them changes. The
// work is done on copies of the segments and written only when it succeeded.

struct Segment {
    unsigned nLBN;
    bool fChanged;
    BlockWords awData;
};

struct Chain {
    unsigned nCount = 0;
    std::array<Segment, LAST_SEGMENT> aSegments{};
};

// Where the chosen free area stands: its segment in the chain and its index.
struct Place {
    unsigned nSegment;
    unsigned nIndex;
};

void LoadChain(Chain& chain) {
    OS8_CONTEXT context;
    InitContext(&context);
    while (LoadSegment(&context)) {
        assert(chain.nCount < LAST_SEGMENT);
        chain.aSegments[chain.nCount++] = Segment{context.nSegmentLBN, false, context.awData};
    }
}

unsigned FreeWords(const Segment& segment) { return DISK_BLOCK_WORDS - EntriesEnd(segment.awData); }
unsigned EntryCount(const Segment& segment) { return CountOf(segment.awData[SEG_ENTRIES]); }
unsigned AIWOf(const Segment& segment) { return CountOf(segment.awData[SEG_AIW]); }

// The last entry of a segment: its index, words and first block.
void LastEntry(const Segment& segment, unsigned* pnIndex, unsigned* pnWords, unsigned* pnBlock) {
    const unsigned nAIW = AIWOf(segment);
    unsigned nIndex = SEG_HEADER;
    unsigned nBlock = segment.awData[SEG_FIRST];
    for (unsigned n = EntryCount(segment); n > 1; --n) {
        nBlock += EntryBlocks(segment.awData, nIndex, nAIW);
        nIndex += EntryWords(segment.awData, nIndex, nAIW);
    }
    *pnIndex = nIndex;
    *pnWords = EntryWords(segment.awData, nIndex, nAIW);
    *pnBlock = nBlock;
}

// The block just past the last entry of a segment.
unsigned EndBlock(const Segment& segment) {
    if (EntryCount(segment) == 0)
        return segment.awData[SEG_FIRST];
    unsigned nIndex = 0;
    unsigned nWords = 0;
    unsigned nBlock = 0;
    LastEntry(segment, &nIndex, &nWords, &nBlock);
    return nBlock + EntryBlocks(segment.awData, nIndex, AIWOf(segment));
}

// Makes nNeed free words in segment nSegment by moving its last entries to
// the following segments. The place of the free area follows it when it
// moves itself, and room is then made where it went.
bool PushForward(Chain& chain, unsigned nSegment, unsigned nNeed, Place& place) {
    while (FreeWords(chain.aSegments[nSegment]) < nNeed) {
        Segment& from = chain.aSegments[nSegment];
        if (EntryCount(from) < 2)
            return false;
        unsigned nIndex = 0;
        unsigned nWords = 0;
        unsigned nBlock = 0;
        LastEntry(from, &nIndex, &nWords, &nBlock);

        if (nSegment + 1 == chain.nCount) {
            // Open a new segment in the lowest block the chain does not use.
            unsigned nNew = 2;
            for (; nNew <= LAST_SEGMENT; ++nNew) {
                bool fUsed = false;
                for (unsigned s = 0; s < chain.nCount; ++s)
                    fUsed = fUsed || chain.aSegments[s].nLBN == nNew;
                if (!fUsed)
                    break;
            }
            if (nNew > LAST_SEGMENT)
                return false;
            Segment& added = chain.aSegments[chain.nCount++];
            added = Segment{nNew, true, BlockWords{}};
            added.awData[SEG_FIRST] = static_cast<std::uint16_t>(nBlock);
            added.awData[SEG_LINK] = from.awData[SEG_LINK];
            added.awData[SEG_AIW] = from.awData[SEG_AIW];
            from.awData[SEG_LINK] = static_cast<std::uint16_t>(nNew);
        } else {
            const Segment& next = chain.aSegments[nSegment + 1];
            // Only a chain whose entries run on from segment to segment, with
            // entries of one shape, can be rearranged without changing what
            // any entry describes.
            if (AIWOf(next) != AIWOf(from) || EndBlock(from) != next.awData[SEG_FIRST])
                return false;
            if (!PushForward(chain, nSegment + 1, nWords, place))
                return false;
        }

        Segment& to = chain.aSegments[nSegment + 1];
        const unsigned nEnd = EntriesEnd(to.awData);
        std::copy_backward(to.awData.begin() + SEG_HEADER, to.awData.begin() + nEnd,
                           to.awData.begin() + nEnd + nWords);
        std::copy_n(from.awData.begin() + nIndex, nWords, to.awData.begin() + SEG_HEADER);
        to.awData[SEG_FIRST] = static_cast<std::uint16_t>(nBlock);
        AddToCount(to.awData[SEG_ENTRIES], 1);
        to.fChanged = true;

        std::fill_n(from.awData.begin() + nIndex, nWords, std::uint16_t{0});
        AddToCount(from.awData[SEG_ENTRIES], -1);
        from.fChanged = true;

        if (place.nSegment == nSegment && place.nIndex == nIndex) {
            place = Place{nSegment + 1, SEG_HEADER};
            ++nSegment;
        } else if (place.nSegment == nSegment + 1) {
            place.nIndex += nWords;
        }
    }
    return true;
}

// Makes nNeed free words in segment nSegment by moving its first entries to
// the end of the segments before it.
bool PullBackward(Chain& chain, unsigned nSegment, unsigned nNeed, Place& place) {
    while (FreeWords(chain.aSegments[nSegment]) < nNeed) {
        if (nSegment == 0)
            return false;
        Segment& from = chain.aSegments[nSegment];
        const Segment& previous = chain.aSegments[nSegment - 1];
        if (EntryCount(from) < 2 || AIWOf(previous) != AIWOf(from) ||
            EndBlock(previous) != from.awData[SEG_FIRST])
            return false;
        const unsigned nWords = EntryWords(from.awData, SEG_HEADER, AIWOf(from));
        const unsigned nBlocks = EntryBlocks(from.awData, SEG_HEADER, AIWOf(from));
        if (!PullBackward(chain, nSegment - 1, nWords, place))
            return false;

        Segment& to = chain.aSegments[nSegment - 1];
        const unsigned nEnd = EntriesEnd(to.awData);
        std::copy_n(from.awData.begin() + SEG_HEADER, nWords, to.awData.begin() + nEnd);
        AddToCount(to.awData[SEG_ENTRIES], 1);
        to.fChanged = true;

        const unsigned nFromEnd = EntriesEnd(from.awData);
        std::copy(from.awData.begin() + SEG_HEADER + nWords, from.awData.begin() + nFromEnd,
                  from.awData.begin() + SEG_HEADER);
        std::fill(from.awData.begin() + nFromEnd - nWords, from.awData.begin() + nFromEnd,
                  std::uint16_t{0});
        from.awData[SEG_FIRST] = static_cast<std::uint16_t>(from.awData[SEG_FIRST] + nBlocks);
        AddToCount(from.awData[SEG_ENTRIES], -1);
        from.fChanged = true;

        if (place.nSegment == nSegment && place.nIndex == SEG_HEADER) {
            place = Place{nSegment - 1, nEnd};
            --nSegment;
        } else if (place.nSegment == nSegment) {
            place.nIndex -= nWords;
        }
    }
    return true;
}

// Writes the changed segments so that an entry on its way always exists in
// at least one of them: the segment that receives entries is written before
// the one that gives them up, and a new segment before the one linking it.
void WriteChain(const Chain& chain, bool fForward) {
    for (unsigned n = 0; n < chain.nCount; ++n) {
        const Segment& segment = chain.aSegments[fForward ? chain.nCount - 1 - n : n];
        if (segment.fChanged)
            WriteBlock(segment.nLBN, segment.awData.data());
    }
}

// Rearranges the segments on disk so that the segment holding the free area
// the context stands on has nNeed free words. False, with nothing written,
// when the directory has no room for them.
bool SpreadSegments(const OS8_CONTEXT& context, unsigned nNeed) {
    Chain chain;
    LoadChain(chain);
    Place place{0, static_cast<unsigned>(context.nPoint)};
    while (place.nSegment < chain.nCount && chain.aSegments[place.nSegment].nLBN != context.nSegmentLBN)
        ++place.nSegment;
    assert(place.nSegment < chain.nCount);

    Chain forward = chain;
    Place forwardPlace = place;
    if (PushForward(forward, forwardPlace.nSegment, nNeed, forwardPlace)) {
        WriteChain(forward, true);
        return true;
    }
    if (PullBackward(chain, place.nSegment, nNeed, place)) {
        WriteChain(chain, false);
        return true;
    }
    return false;
}

}  // namespace

void FindLargestEmpty(OS8_CONTEXT* pContext, int* pnBlock, int* pnLength) {
    FindStoredNameAndLargestEmpty(pContext, nullptr, nullptr, nullptr, pnBlock, pnLength);
}

void FindStoredNameAndLargestEmpty(OS8_CONTEXT* pContext, const OS8Name* pName, OS8_CONTEXT* pFile,
                                   bool* pfFound, int* pnBlock, int* pnLength) {
    *pnBlock = 0;
    *pnLength = 0;
    if (pfFound != nullptr)
        *pfFound = false;
    InitContext(pContext);
    OS8_CONTEXT best = *pContext;
    int nBlock = 0;
    int nLength = 0;
    // Names are compared as stored words; nothing is decoded.
    while (NextEntry(pContext, nullptr, &nBlock, &nLength, nullptr, nullptr)) {
        const std::uint16_t* pwEntry = &pContext->awData[static_cast<unsigned>(pContext->nPoint)];
        if (pwEntry[0] == 0) {
            if (nLength > *pnLength) {
                *pnBlock = nBlock;
                *pnLength = nLength;
                best = *pContext;
            }
        } else if (pName != nullptr && !*pfFound && std::equal(pName->begin(), pName->end(), pwEntry)) {
            *pfFound = true;
            *pFile = *pContext;
        }
    }
    if (*pnLength > 0)
        *pContext = best;
}

void CreateTentativeFile(OS8_CONTEXT* pContext, std::string_view name, std::uint16_t wDate,
                         int* pnBlock, int* pnLength) {
    *pnBlock = 0;
    *pnLength = 0;
    if (!IsStorableFileName(name))
        return;
    int nBlock = 0;
    int nLength = 0;
    FindLargestEmpty(pContext, &nBlock, &nLength);
    CreateTentativeFileAt(pContext, name, wDate, nBlock, nLength, pnBlock, pnLength);
}

void CreateTentativeFileAt(OS8_CONTEXT* pContext, std::string_view name, std::uint16_t wDate,
                           int nBlock, int nLength, int* pnBlock, int* pnLength) {
    *pnBlock = 0;
    *pnLength = 0;
    if (nLength == 0 || !IsStorableFileName(name))
        return;

    const unsigned nWords = FileEntryWords(pContext->nAIW);
    if (!MakeRoom(pContext, nWords)) {
        // The segment is full: move entries between segments, then find the
        // same free area again where it now stands.
        if (!SpreadSegments(*pContext, nWords))
            return;
        int nNewBlock = 0;
        int nNewLength = 0;
        FindLargestEmpty(pContext, &nNewBlock, &nNewLength);
        if (nNewBlock != nBlock || nNewLength != nLength || !MakeRoom(pContext, nWords))
            return;
    }

    BlockWords& awData = pContext->awData;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    AddToCount(awData[SEG_ENTRIES], 1);
    pContext->nFiles += 1;
    const OS8Name awName = EncodeFileName(name);
    std::copy(awName.begin(), awName.end(), awData.begin() + nPoint);
    if (pContext->nAIW >= 1)
        awData[nPoint + ENTRY_DATE] = wDate & 07777;
    awData[nPoint + EntryLengthWord(pContext->nAIW)] = 0;
    *pnBlock = nBlock;
    *pnLength = nLength;
}

namespace {

// CloseTentativeFile in the loaded segment only; the caller writes it.
void CloseTentativeEntry(OS8_CONTEXT* pContext, int nLength) {
    BlockWords& awData = pContext->awData;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    const unsigned nWords = FileEntryWords(pContext->nAIW);
    const unsigned nLengthWord = nPoint + EntryLengthWord(pContext->nAIW);
    assert(awData[nPoint] != 0 && awData[nLengthWord] == 0);
    assert(nLength >= 0);

    if (nLength > 0) {
        const unsigned nEmpty = nPoint + nWords;
        assert(pContext->nFiles > 1 && awData[nEmpty] == 0);
        const unsigned nFree = CountOf(awData[nEmpty + EMPTY_LENGTH]);
        assert(static_cast<unsigned>(nLength) <= nFree);
        awData[nLengthWord] = NegativeOf(static_cast<unsigned>(nLength));
        const unsigned nRest = nFree - static_cast<unsigned>(nLength);
        if (nRest > 0) {
            awData[nEmpty + EMPTY_LENGTH] = NegativeOf(nRest);
        } else {
            RemoveWords(pContext, nEmpty, EMPTY_ENTRY_WORDS);
            AddToCount(awData[SEG_ENTRIES], -1);
            pContext->nFiles -= 1;
        }
    } else {
        RemoveWords(pContext, nPoint, nWords);
        AddToCount(awData[SEG_ENTRIES], -1);
        pContext->nFiles -= 1;
    }
}

// DeleteEntry in the loaded segment only; the caller writes it.
void DeleteCurrentEntry(OS8_CONTEXT* pContext) {
    BlockWords& awData = pContext->awData;
    const unsigned nAIW = pContext->nAIW;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    assert(pContext->nFiles > 0 && awData[nPoint] != 0);
    const std::uint16_t wLength = awData[nPoint + EntryLengthWord(nAIW)];

    const unsigned nPrevious = static_cast<unsigned>(pContext->nPrevious);
    if (nPrevious != 0 && awData[nPrevious] == 0) {
        // Join the file to the free area before it, which becomes current.
        pContext->nBlock -= static_cast<int>(CountOf(awData[nPrevious + EMPTY_LENGTH]));
        awData[nPrevious + EMPTY_LENGTH] =
            static_cast<std::uint16_t>((awData[nPrevious + EMPTY_LENGTH] + wLength) & 07777);
        RemoveWords(pContext, nPoint, FileEntryWords(nAIW));
        AddToCount(awData[SEG_ENTRIES], -1);
        pContext->nPoint = pContext->nPrevious;
        // The entry before the new current one, for a later step.
        pContext->nPrevious = 0;
        for (unsigned i = SEG_HEADER; i < nPrevious; i += EntryWords(awData, i, nAIW))
            pContext->nPrevious = static_cast<int>(i);
    } else {
        awData[nPoint] = 0;
        awData[nPoint + EMPTY_LENGTH] = wLength;
        RemoveWords(pContext, nPoint + EMPTY_ENTRY_WORDS, FileEntryWords(nAIW) - EMPTY_ENTRY_WORDS);
    }

    const unsigned nCurrent = static_cast<unsigned>(pContext->nPoint);
    // The current entry is now empty; an empty entry after it joins it.
    const unsigned nNext = nCurrent + EMPTY_ENTRY_WORDS;
    if (pContext->nFiles > 1 && awData[nNext] == 0) {
        awData[nCurrent + EMPTY_LENGTH] = static_cast<std::uint16_t>(
            (awData[nCurrent + EMPTY_LENGTH] + awData[nNext + EMPTY_LENGTH]) & 07777);
        RemoveWords(pContext, nNext, EMPTY_ENTRY_WORDS);
        AddToCount(awData[SEG_ENTRIES], -1);
        pContext->nFiles -= 1;
    }
}

// Moves the context to the file entry of the loaded segment that has the
// name words awName and begins at block nBlock; false when there is none.
bool SeekEntryInSegment(OS8_CONTEXT* pContext, const OS8Name& awName, int nBlock) {
    const BlockWords& awData = pContext->awData;
    for (RewindSegment(pContext); pContext->nFiles > 0; StepEntry(pContext)) {
        const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
        if (awData[nPoint] != 0 && pContext->nBlock == nBlock &&
            std::equal(awName.begin(), awName.end(), awData.begin() + nPoint))
            return true;
    }
    return false;
}

}  // namespace

void CloseTentativeFile(OS8_CONTEXT* pContext, int nLength) {
    CloseTentativeEntry(pContext, nLength);
    WriteSegment(pContext);
}

bool CloseTentativeReplacing(OS8_CONTEXT* pContext, int nLength, int nOldBlock) {
    assert(nLength > 0);
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    OS8Name awName{};
    std::copy_n(pContext->awData.begin() + nPoint, awName.size(), awName.begin());
    CloseTentativeEntry(pContext, nLength);
    const bool fReplaced = SeekEntryInSegment(pContext, awName, nOldBlock);
    if (fReplaced)
        DeleteCurrentEntry(pContext);
    // One write makes the new file permanent and, when the older one lies
    // in the same segment, removes that one with it.
    WriteSegment(pContext);
    return fReplaced;
}

void DeleteEntry(OS8_CONTEXT* pContext) {
    DeleteCurrentEntry(pContext);
    WriteSegment(pContext);
}

bool RenameEntry(OS8_CONTEXT* pContext, std::string_view newName) {
    if (!IsStorableFileName(newName))
        return false;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    assert(pContext->nFiles > 0 && pContext->awData[nPoint] != 0);
    const OS8Name awName = EncodeFileName(newName);
    std::copy(awName.begin(), awName.end(), pContext->awData.begin() + nPoint);
    WriteSegment(pContext);
    return true;
}

unsigned UnitBlocks() {
    assert(IsDiskMounted() && "no disk mounted");
    return GetDeviceInfo(GetDiskType()).nOS8Blocks;
}

void ZeroDirectory(bool fSystem) {
    const unsigned nFirst = fSystem ? OS8_SYSTEM_FIRST_FILE_BLOCK : OS8_FIRST_FILE_BLOCK;
    const unsigned nFree = UnitBlocks() - nFirst;
    BlockWords awData{};
    awData[SEG_ENTRIES] = NegativeOf(1);
    awData[SEG_FIRST] = static_cast<std::uint16_t>(nFirst);
    awData[SEG_AIW] = NegativeOf(1);
    awData[SEG_HEADER] = 0;
    awData[SEG_HEADER + EMPTY_LENGTH] = NegativeOf(nFree);
    WriteBlock(FIRST_SEGMENT, awData.data());
    const BlockWords awZero{};
    for (unsigned nBlock = 2; nBlock <= LAST_SEGMENT; ++nBlock)
        WriteBlock(nBlock, awZero.data());
}

int LargestFreeAfterDelete(const OS8_CONTEXT* pContext) {
    OS8_CONTEXT context;
    int nBlock = 0;
    int nLargest = 0;
    FindLargestEmpty(&context, &nBlock, &nLargest);
    return LargestFreeAfterDelete(pContext, nLargest);
}

int LargestFreeAfterDelete(const OS8_CONTEXT* pContext, int nLargestNow) {
    const BlockWords& awData = pContext->awData;
    const unsigned nAIW = pContext->nAIW;
    const unsigned nPoint = static_cast<unsigned>(pContext->nPoint);
    assert(pContext->nFiles > 0 && awData[nPoint] != 0);
    unsigned nJoined = CountOf(awData[nPoint + EntryLengthWord(nAIW)]);
    const unsigned nPrevious = static_cast<unsigned>(pContext->nPrevious);
    if (nPrevious != 0 && awData[nPrevious] == 0)
        nJoined += CountOf(awData[nPrevious + EMPTY_LENGTH]);
    const unsigned nNext = nPoint + FileEntryWords(nAIW);
    if (pContext->nFiles > 1 && awData[nNext] == 0)
        nJoined += CountOf(awData[nNext + EMPTY_LENGTH]);
    return std::max(nLargestNow, static_cast<int>(nJoined));
}
