// Shared helpers of the OS8 module's source files; not for other modules.
#pragma once

#include <cstdint>

#include "os8.h"

namespace os8 {

// Header words of a directory segment.
inline constexpr unsigned SEG_ENTRIES = 0;    // minus the number of entries
inline constexpr unsigned SEG_FIRST = 1;      // first block of the first entry
inline constexpr unsigned SEG_LINK = 2;       // next segment, 0 for none
inline constexpr unsigned SEG_TENTATIVE = 3;  // 01400 + index of a tentative length word
inline constexpr unsigned SEG_AIW = 4;        // minus the extra words per file entry
inline constexpr unsigned SEG_HEADER = 5;     // first word of the entries

inline constexpr unsigned TENTATIVE_BASE = 01400;
inline constexpr unsigned FIRST_SEGMENT = OS8_FIRST_SEGMENT;
inline constexpr unsigned LAST_SEGMENT = OS8_LAST_SEGMENT;
// A segment must hold at least one file entry.
inline constexpr unsigned MAX_AIW = DISK_BLOCK_WORDS - SEG_HEADER - 5;

// A stored negative count and back: w stands for (4096 - w) mod 4096.
inline unsigned CountOf(std::uint16_t w) { return (010000u - w) & 07777u; }
inline std::uint16_t NegativeOf(unsigned n) { return static_cast<std::uint16_t>((010000u - (n & 07777u)) & 07777u); }

// Adds one to the count held in a negative word (or removes one).
inline void AddToCount(std::uint16_t& w, int nDelta) {
    w = NegativeOf(static_cast<unsigned>(static_cast<int>(CountOf(w)) + nDelta));
}

// Words of a file entry: the name (four words), nAIW additional information
// words (the first, when there is one, is the date), then the length word
// (minus the blocks). An empty entry is two words: 0, then minus the blocks.
inline constexpr unsigned ENTRY_DATE = 4;
inline unsigned EntryLengthWord(unsigned nAIW) { return 4 + nAIW; }
inline constexpr unsigned EMPTY_LENGTH = 1;
inline constexpr unsigned EMPTY_ENTRY_WORDS = 2;

inline unsigned FileEntryWords(unsigned nAIW) { return EntryLengthWord(nAIW) + 1; }

// The index of the file entry whose length word the tentative word names,
// in a segment with nAIW extra words; 0 when the word is 0 or names no
// length word inside the block.
inline unsigned TentativeEntry(unsigned wTentative, unsigned nAIW) {
    if (wTentative <= TENTATIVE_BASE + EntryLengthWord(nAIW) || wTentative - TENTATIVE_BASE >= DISK_BLOCK_WORDS)
        return 0;
    return wTentative - TENTATIVE_BASE - EntryLengthWord(nAIW);
}

// Words taken by the entry at index i of a segment with nAIW extra words.
inline unsigned EntryWords(const BlockWords& awData, unsigned i, unsigned nAIW) {
    return awData[i] == 0 ? EMPTY_ENTRY_WORDS : FileEntryWords(nAIW);
}

// Blocks described by the entry at index i.
inline unsigned EntryBlocks(const BlockWords& awData, unsigned i, unsigned nAIW) {
    return awData[i] == 0 ? CountOf(awData[i + EMPTY_LENGTH]) : CountOf(awData[i + EntryLengthWord(nAIW)]);
}

// Index just past the last entry of the segment (the segment was checked
// when it was loaded, so this stays within the block).
unsigned EntriesEnd(const BlockWords& awData);

// Prints "directory segment %u is damaged" and abandons the command.
[[noreturn]] void ReportDamagedSegment(unsigned nSegment);

// Reads the segment nNextSegment names into the context and checks it;
// false when there is none.
bool LoadSegment(OS8_CONTEXT* pContext);
// Puts the context on the first entry of the segment it holds.
void RewindSegment(OS8_CONTEXT* pContext);
// Steps past the current entry, file or empty.
void StepEntry(OS8_CONTEXT* pContext);

// Word moves within the loaded segment.
void RemoveWords(OS8_CONTEXT* pContext, unsigned nIndex, unsigned nCount);
bool MakeRoom(OS8_CONTEXT* pContext, unsigned nCount);

}  // namespace os8
