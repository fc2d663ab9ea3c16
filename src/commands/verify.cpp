// The VERIFY command: a read-only check of the directory of the current unit
// or partition (or of every one with /ALL). It reports each damage it finds,
// one message each, and goes on with what can still be read, then prints a
// summary per unit.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "disk.h"
#include "os8.h"
#include "shell.h"

namespace {

// OS/8 keeps the count of additional information words in six bits.
constexpr unsigned VERIFY_MAX_AIW = 63;

struct VerifyTally {
    unsigned nErrors = 0;
    unsigned nWarnings = 0;
};

// Message, counted as an error (E) or a warning (W).
__attribute__((format(printf, 3, 4))) void Report(VerifyTally* pTally, char cSeverity,
                                                  const char* pszFormat, ...) {
    char szText[SHELL_TEXT_MAX + 1];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(szText, sizeof szText, pszFormat, args);
    va_end(args);
    Message(cSeverity, "%s", szText);
    if (cSeverity == 'E')
        ++pTally->nErrors;
    else
        ++pTally->nWarnings;
}

std::string FileName(const OS8_SURVEY_ENTRY& entry) { return DecodeFileName(entry.awName.data()); }

// "file NAME.EX" or "free area", for messages about areas.
std::string AreaName(const OS8_SURVEY_ENTRY& entry) {
    return entry.fEmpty ? std::string("free area") : "file " + FileName(entry);
}

unsigned AreaEnd(const OS8_SURVEY_ENTRY& entry) { return entry.nBlock + entry.nLength; }

// The chain and the header of every segment reached.
void CheckSegments(const OS8_SURVEY& survey, VerifyTally* pTally) {
    const std::vector<OS8_SURVEY_SEGMENT>& segments = survey.segments;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const OS8_SURVEY_SEGMENT& segment = segments[i];
        if (!segment.fRead)
            continue;  // the device fault has been reported
        const unsigned nSegment = segment.nSegment;
        if (segment.nEntriesRead < segment.nEntries)
            Report(pTally, 'E', "directory segment %u: its %u entries do not fit in 256 words",
                   nSegment, segment.nEntries);
        if (segment.nAIW > VERIFY_MAX_AIW)
            Report(pTally, 'E', "directory segment %u has %u additional information words, more than %u",
                   nSegment, segment.nAIW, VERIFY_MAX_AIW);
        if (i > 0 && segments[0].fRead && segment.nAIW != segments[0].nAIW)
            Report(pTally, 'E',
                   "directory segment %u has %u additional information words, segment %u has %u",
                   nSegment, segment.nAIW, segments[0].nSegment, segments[0].nAIW);
        if (segment.wTentative != 0 && segment.nTentative == 0)
            Report(pTally, 'E', "directory segment %u: tentative-file word %04o names no entry",
                   nSegment, static_cast<unsigned>(segment.wTentative));
        const unsigned nLink = segment.nLink;
        if (nLink != 0 && (nLink < OS8_FIRST_SEGMENT || nLink > OS8_LAST_SEGMENT)) {
            Report(pTally, 'E', "directory segment %u links to block %u, outside blocks %u-%u",
                   nSegment, nLink, OS8_FIRST_SEGMENT, OS8_LAST_SEGMENT);
        } else if (nLink != 0) {
            for (std::size_t k = 0; k <= i; ++k)
                if (segments[k].nSegment == nLink)
                    Report(pTally, 'E', "directory segment %u links back to segment %u", nSegment,
                           nLink);
        }
        if (i > 0) {
            const OS8_SURVEY_SEGMENT& previous = segments[i - 1];
            // Where the previous segment ends is known only when all its
            // entries were read.
            if (previous.fRead && previous.nEntriesRead == previous.nEntries &&
                segment.nFirstBlock != previous.nEndBlock)
                Report(pTally, 'E', "directory segment %u begins at block %u, but segment %u ends at block %u",
                       nSegment, segment.nFirstBlock, previous.nSegment, previous.nEndBlock);
        }
    }
}

// True when every segment of the chain was read whole and the chain ended
// with a link of 0, so the entries read describe the whole unit.
bool IsSurveyComplete(const OS8_SURVEY& survey) {
    if (survey.segments.empty())
        return false;
    for (const OS8_SURVEY_SEGMENT& segment : survey.segments)
        if (!segment.fRead || segment.nEntriesRead < segment.nEntries)
            return false;
    return survey.segments.back().nLink == 0;
}

// Every area inside the file blocks of the unit, no block in two areas, and
// no block after the last area left out.
void CheckAreas(const OS8_SURVEY& survey, VerifyTally* pTally) {
    const unsigned nUnitBlocks = UnitBlocks();
    std::vector<const OS8_SURVEY_ENTRY*> areas;
    for (const OS8_SURVEY_ENTRY& entry : survey.entries) {
        if (entry.nLength == 0)
            continue;
        if (entry.nBlock < OS8_FIRST_FILE_BLOCK || AreaEnd(entry) > nUnitBlocks)
            Report(pTally, 'E', "%s at blocks %u-%u lies outside blocks %u-%u of the unit",
                   AreaName(entry).c_str(), entry.nBlock, AreaEnd(entry) - 1,
                   OS8_FIRST_FILE_BLOCK, nUnitBlocks - 1);
        areas.push_back(&entry);
    }
    std::stable_sort(areas.begin(), areas.end(),
                     [](const OS8_SURVEY_ENTRY* a, const OS8_SURVEY_ENTRY* b) { return a->nBlock < b->nBlock; });
    // The area reaching furthest so far: each later area that begins before
    // its end shares blocks with it.
    const OS8_SURVEY_ENTRY* pReach = nullptr;
    for (const OS8_SURVEY_ENTRY* pArea : areas) {
        if (pReach != nullptr && pArea->nBlock < AreaEnd(*pReach)) {
            Report(pTally, 'E', "%s at blocks %u-%u and %s at blocks %u-%u share blocks",
                   AreaName(*pReach).c_str(), pReach->nBlock, AreaEnd(*pReach) - 1,
                   AreaName(*pArea).c_str(), pArea->nBlock, AreaEnd(*pArea) - 1);
        }
        if (pReach == nullptr || AreaEnd(*pArea) > AreaEnd(*pReach))
            pReach = pArea;
    }
    if (!IsSurveyComplete(survey))
        return;
    unsigned nEnd = survey.segments.front().nFirstBlock;
    for (const OS8_SURVEY_ENTRY& entry : survey.entries)
        nEnd = std::max(nEnd, AreaEnd(entry));
    if (nEnd < nUnitBlocks)
        Report(pTally, 'W', "blocks %u-%u at the end of the unit lie in no area", nEnd,
               nUnitBlocks - 1);
}

// Each name character, SIXBIT 1-26 (A-Z) or 48-57 (0-9); zeros only pad the
// end of the name and of the extension.
bool IsTypeableName(const OS8Name& awName) {
    unsigned anCodes[8];
    for (unsigned k = 0; k < 4; ++k) {
        anCodes[2 * k] = (awName[k] >> 6) & 077;
        anCodes[2 * k + 1] = awName[k] & 077;
    }
    auto typeable = [&](unsigned nFrom, unsigned nTo) {
        bool fPadding = false;
        for (unsigned i = nFrom; i < nTo; ++i) {
            const unsigned c = anCodes[i];
            if (c == 0)
                fPadding = true;
            else if (fPadding || !((c >= 1 && c <= 26) || (c >= 060 && c <= 071)))
                return false;
        }
        return true;
    };
    return anCodes[0] != 0 && typeable(0, 6) && typeable(6, 8);
}

void CheckEntries(const OS8_SURVEY& survey, VerifyTally* pTally) {
    const std::vector<OS8_SURVEY_ENTRY>& entries = survey.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const OS8_SURVEY_ENTRY& entry = entries[i];
        if (entry.fEmpty)
            continue;
        const std::string name = FileName(entry);
        if (!IsTypeableName(entry.awName))
            Report(pTally, 'W', "file %s at block %u: its name (%04o %04o %04o %04o) has characters OS/8 cannot type",
                   name.c_str(), entry.nBlock, entry.awName[0], entry.awName[1], entry.awName[2],
                   entry.awName[3]);
        for (std::size_t k = 0; k < i; ++k) {
            if (!entries[k].fEmpty && entries[k].awName == entry.awName) {
                Report(pTally, 'W', "two files named %s, at blocks %u and %u: OS/8 finds the first",
                       name.c_str(), entries[k].nBlock, entry.nBlock);
                break;
            }
        }
        if (entry.fTentative)
            Report(pTally, 'W', "file %s at block %u is a tentative file left open: OS/8's DIR does not list it",
                   name.c_str(), entry.nBlock);
        else if (entry.nLength == 0)
            Report(pTally, 'W', "file %s at block %u has length 0: OS/8's DIR does not list it",
                   name.c_str(), entry.nBlock);
        const unsigned wDate = entry.wDate;
        const unsigned nMonth = (wDate >> 8) & 017;
        const unsigned nDay = (wDate >> 3) & 037;
        if (wDate != 0 && (nMonth == 0 || nMonth > 12 || nDay == 0))
            Report(pTally, 'W', "file %s at block %u: its date word %04o is no date", name.c_str(),
                   entry.nBlock, wDate);
    }
}

// A system disk (its files begin after the system head) boots from block 0.
void CheckBootBlock(const OS8_SURVEY& survey, VerifyTally* pTally) {
    if (survey.segments.empty() || !survey.segments.front().fRead ||
        survey.segments.front().nFirstBlock <= OS8_FIRST_FILE_BLOCK)
        return;
    BlockWords awBoot{};
    ReadBlock(OS8_BOOT_BLOCK, awBoot.data());
    if (std::all_of(awBoot.begin(), awBoot.end(), [](std::uint16_t w) { return w == 0; }))
        Report(pTally, 'W', "system disk with an all-zero boot block: it cannot be booted");
}

// Checks the current unit or partition and prints its summary.
void VerifyUnit() {
    VerifyTally tally;
    OS8_SURVEY survey;
    // A block that cannot be read has been reported as an error by the
    // device layer; the checks go on with what was read before it.
    try {
        SurveyDirectory(&survey);
    } catch (const CommandAbort&) {
        ++tally.nErrors;
    }
    CheckSegments(survey, &tally);
    CheckAreas(survey, &tally);
    CheckEntries(survey, &tally);
    try {
        CheckBootBlock(survey, &tally);
    } catch (const CommandAbort&) {
        ++tally.nErrors;
    }
    unsigned nSegments = 0;
    unsigned nFiles = 0;
    unsigned nFileBlocks = 0;
    unsigned nFree = 0;
    for (const OS8_SURVEY_SEGMENT& segment : survey.segments)
        nSegments += segment.fRead ? 1 : 0;
    for (const OS8_SURVEY_ENTRY& entry : survey.entries) {
        if (entry.fEmpty) {
            nFree += entry.nLength;
        } else {
            ++nFiles;
            nFileBlocks += entry.nLength;
        }
    }
    Message('I', "%u segments, %u files, %u blocks in files, %u free: %u errors, %u warnings",
            nSegments, nFiles, nFileBlocks, nFree, tally.nErrors, tally.nWarnings);
}

// Brings the partition that was current back when VERIFY /ALL ends, also
// after a fault.
class PartitionKeeper {
public:
    explicit PartitionKeeper(std::uint32_t nPartition) : nPartition_(nPartition) {}
    ~PartitionKeeper() { SelectPartition(nPartition_); }
    PartitionKeeper(const PartitionKeeper&) = delete;
    PartitionKeeper& operator=(const PartitionKeeper&) = delete;

private:
    std::uint32_t nPartition_;
};

}  // namespace

void DoVerify(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fAll = false;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (MatchKeyword(word, "ALL", 3)) {
            fAll = true;
        } else {
            ReportUnknownQualifier(word);
            return;
        }
    }
    if (!CheckParameterCount(0, param1, param2) || !CheckMounted())
        return;
    std::uint32_t nCurrent = 0;
    if (!fAll || !GetPartition(&nCurrent)) {
        VerifyUnit();
        return;
    }
    PartitionKeeper keeper(nCurrent);
    for (std::uint32_t nPartition = 0; SelectPartition(nPartition); ++nPartition) {
        Message('I', "verifying %s, partition %u", GetDiskName().c_str(), nPartition);
        VerifyUnit();
    }
}
