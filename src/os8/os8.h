// The OS8 module: OS/8 file names, wildcards and dates, the directory scan
// and its updates, and the conversion of file data between OS/8 blocks and
// host files. It keeps no state of its own and reaches the disk only through
// ReadBlock and WriteBlock.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "disk.h"

inline constexpr unsigned OS8_BLOCK_SIZE = 256;       // words per block; bytes per byte-mode block
inline constexpr unsigned OS8_BYTE_BLOCK_SIZE = 384;  // bytes per image block

using OS8Name = std::array<std::uint16_t, 4>;

// ---- Layout of a volume ------------------------------------------------------

// Block 0 is the boot block and blocks 1-6 hold the directory, so files
// start at block 7. A system disk keeps the OS/8 system head in blocks 7-55
// and its files start at block 56; a directory whose files start above
// block 7 marks a system disk.
inline constexpr unsigned OS8_BOOT_BLOCK = 0;
inline constexpr unsigned OS8_FIRST_SEGMENT = 1;
inline constexpr unsigned OS8_LAST_SEGMENT = 6;
inline constexpr unsigned OS8_FIRST_FILE_BLOCK = 7;
inline constexpr unsigned OS8_SYSTEM_HEAD_FIRST = 7;
inline constexpr unsigned OS8_SYSTEM_FIRST_FILE_BLOCK = 56;
inline constexpr unsigned OS8_SYSTEM_HEAD_BLOCKS = OS8_SYSTEM_FIRST_FILE_BLOCK - OS8_SYSTEM_HEAD_FIRST;

// ---- Names, wildcards and dates --------------------------------------------

// A 6-bit SIXBIT code as its character: 0 gives a blank, 1-31 are @ + code
// (the letters and [ \ ] ^ _), 32-63 are themselves (32 is the blank).
char SixbitChar(unsigned nCode);
// The four name words at pwName as "NAME.EX"; a name without extension
// ends in its dot. Each part ends at its first blank.
std::string DecodeFileName(const std::uint16_t* pwName);
// Letters (in upper case) and digits up to the first dot go to the six name
// characters, those after it to the two extension characters; the rest of
// each part is dropped, and every other character is passed over.
OS8Name EncodeFileName(std::string_view text);
// True when the text encodes to a name with at least one name character, so
// it may be stored in a directory entry.
bool IsStorableFileName(std::string_view text);
// The base before the first dot, and the extension from it (dot included;
// empty when there is no dot).
void SplitFileName(std::string_view text, std::string& base, std::string& extension);
// "?" matches any one character and "*" the rest of a part; letters match
// in either case. The two texts are compared only as far as the shorter one
// goes, so "A" matches "ABC.TX" and "ABC.TXT" matches "ABC.TX": intended, every
// command that takes file names behaves so.
bool MatchWildcard(std::string_view pattern, std::string_view name);
// Matching for the commands that change or remove entries: the pattern must
// cover the whole name. "*" matches any run of characters within the name
// or the extension, "?" exactly one character. A pattern without a dot
// takes any extension when it holds a "*" (PROG*, and * for every file),
// and names a file without extension otherwise (PROG is PROG. alone).
bool MatchWholeName(std::string_view pattern, std::string_view name);

void GetToday(int* pnDay, int* pnMonth, int* pnYear);  // year since 1900
std::uint16_t EncodeToday();
void DecodeDate(std::uint16_t wDate, int* pnDay, int* pnMonth, int* pnYear);
// Tests fix "today" with this; a day of 0 returns to the host clock. The
// year counts from 1900 (126 for 2026); a full year such as 2026 is taken too.
void SetTodayForTesting(int nDay, int nMonth, int nYear);

// ---- Directory scan ----------------------------------------------------------

struct OS8_CONTEXT {
    int nPoint;              // index in awData of the current entry
    int nPrevious;           // entry before it in this segment, 0 for none
    unsigned nFiles;         // entries from the current one to the segment's end
    unsigned nAIW;           // additional information words per file entry
    unsigned nSegmentLBN;    // block awData was read from
    unsigned nNextSegment;   // next segment to load, 0 for none
    int nBlock;              // first block of the current entry
    int nTentative;          // index of the tentative entry, 0 for none
    unsigned fVisited;       // bit b set once segment block b was loaded
    BlockWords awData;       // the loaded segment
};

// Every scan step that finds a damaged directory prints
// "directory segment %u is damaged" and abandons the command (AbortCommand);
// a device fault abandons it as ReadBlock does. A disk must be mounted.

// Puts the context before the first entry of the first segment; nothing is
// read until the first step.
void InitContext(OS8_CONTEXT* pContext);
// Steps to the next entry, file or empty area, loading the next segment
// when one ends; false after the last entry of the last segment. The
// outputs (each may be null) describe the entry the context now stands on:
// an empty name for an empty area, a date of 0 when there is none, and the
// tentative flag for a file still being written.
bool NextEntry(OS8_CONTEXT* pContext, std::string* pName, int* pnBlock,
               int* pnLength, std::uint16_t* pwDate, bool* pfTentative);
// NextEntry until a file entry whose name matches the pattern; the context
// stands on it. False when the directory ends.
bool FindFile(OS8_CONTEXT* pContext, std::string_view pattern, std::string& name,
              int* pnBlock, int* pnLength, std::uint16_t* pwDate, bool* pfTentative);
// Like FindFile, with MatchWholeName in place of MatchWildcard.
bool FindWholeName(OS8_CONTEXT* pContext, std::string_view pattern, std::string& name);
// True when a file matches the pattern, on a fresh context.
bool FileExists(std::string_view name);
// Like FindFile, but finds the next file entry whose stored name words equal
// those of EncodeFileName(name) exactly; no wildcards.
bool FindStoredName(OS8_CONTEXT* pContext, std::string_view name, std::string& found,
                    int* pnBlock, int* pnLength);
bool StoredNameExists(std::string_view name);
// True when the first segment's files start above block 7: there is a
// system area.
bool IsSystemDisk();
// Writes the segment held in the context back to its block.
void WriteSegment(OS8_CONTEXT* pContext);

// ---- Directory survey ------------------------------------------------------------

// What a read-only walk of the whole directory found: every segment of the
// chain that was reached and every entry that could be read. Unlike the scan
// it checks nothing and stops at no damaged segment: it takes the entries
// that lie inside their block, follows each link while it names a segment
// block (1-6) not visited yet, and leaves the judging to its caller.
struct OS8_SURVEY_SEGMENT {
    unsigned nSegment = 0;        // block of the segment
    bool fRead = false;           // the block was read
    unsigned nEntries = 0;        // entry count of the header
    unsigned nEntriesRead = 0;    // entries that lie inside the block
    unsigned nFirstBlock = 0;     // header word 1
    unsigned nLink = 0;           // header word 2
    std::uint16_t wTentative = 0; // header word 3
    unsigned nTentative = 0;      // index of the entry it names, 0 when it names none in the block
    unsigned nAIW = 0;            // additional information words
    unsigned nEndBlock = 0;       // where the areas of the entries read end
};

struct OS8_SURVEY_ENTRY {
    OS8Name awName{};             // all zero for a free area
    bool fEmpty = false;
    bool fTentative = false;
    unsigned nSegment = 0;
    unsigned nBlock = 0;
    unsigned nLength = 0;
    std::uint16_t wDate = 0;      // 0 also when the segment keeps no dates
};

struct OS8_SURVEY {
    std::vector<OS8_SURVEY_SEGMENT> segments;
    std::vector<OS8_SURVEY_ENTRY> entries;
};

// Fills the survey as it goes, so that after a device fault (which abandons
// the command through ReadBlock) it holds what was read before it.
void SurveyDirectory(OS8_SURVEY* pSurvey);

// ---- Directory updates ---------------------------------------------------------
// Each update changes the segment held in the context and writes it at once;
// the context must stand where the call says, as FindFile or NextEntry left
// it (checked by assertion).

// Scans from the start and leaves the context on the largest empty area
// (the first of equal ones), with its first block and length; length 0, and
// the context at the end of the directory, when there is none.
void FindLargestEmpty(OS8_CONTEXT* pContext, int* pnBlock, int* pnLength);
// FindLargestEmpty that also, in the same pass, positions *pFile on the
// first file entry whose stored name words equal *pName (*pfFound tells).
void FindStoredNameAndLargestEmpty(OS8_CONTEXT* pContext, const OS8Name* pName, OS8_CONTEXT* pFile,
                                   bool* pfFound, int* pnBlock, int* pnLength);
// Positions the context on a new tentative entry before the largest free
// area; *pnBlock is its first block and *pnLength the room. The new entry
// lives in the context only until CloseTentativeFile writes it. When the
// segment holding the area is full, entries are first moved between
// segments (and a new segment may be opened in blocks 2-6); those segments
// are written at once, and the directory lists the same files either way.
// Room 0 when there is no free area or no directory space for one more entry,
// and for a name that IsStorableFileName refuses; nothing is printed.
void CreateTentativeFile(OS8_CONTEXT* pContext, std::string_view name,
                         std::uint16_t wDate, int* pnBlock, int* pnLength);
// CreateTentativeFile in the free area that FindLargestEmpty (or
// FindStoredNameAndLargestEmpty) just found, with nothing written since.
void CreateTentativeFileAt(OS8_CONTEXT* pContext, std::string_view name, std::uint16_t wDate,
                           int nBlock, int nLength, int* pnBlock, int* pnLength);
// On the context CreateTentativeFile left: makes the entry a file of
// nLength blocks (at most the room) and gives the rest of the area back, or
// with 0 drops the entry; then writes the segment.
void CloseTentativeFile(OS8_CONTEXT* pContext, int nLength);
// Closes the tentative file with nLength (> 0) blocks and, when the file of
// the same name that begins at block nOldBlock lies in the same segment,
// deletes it in the same segment write, so the directory holds one version
// or the other at every moment. False when that file is in another segment
// (or gone): the caller deletes it afterwards.
bool CloseTentativeReplacing(OS8_CONTEXT* pContext, int nLength, int nOldBlock);
// On a file entry: turns it into an empty area joined with the empty areas
// beside it in its segment, and writes the segment. The context then stands
// on that empty area, so a scan with it goes on after the deleted file.
void DeleteEntry(OS8_CONTEXT* pContext);
// On a file entry: stores the new name and writes the segment. False
// (nothing changed) for a name that IsStorableFileName refuses.
bool RenameEntry(OS8_CONTEXT* pContext, std::string_view newName);
// Writes an empty directory for the current unit: one segment whose one
// empty area runs from block 7 (block 56 with fSystem, after the system
// area) to the unit's end; blocks 2-6 are zeroed.
void ZeroDirectory(bool fSystem);
// Blocks of the current unit or partition of the mounted disk.
unsigned UnitBlocks();
// The largest free area a delete of the file the context stands on would
// leave: the larger of the largest free area now and the file joined with
// the free areas beside it in its segment.
int LargestFreeAfterDelete(const OS8_CONTEXT* pContext);
// The same, given the largest free area now.
int LargestFreeAfterDelete(const OS8_CONTEXT* pContext, int nLargestNow);

// ---- File data transfer -----------------------------------------------------------

void UnpackBlock(const std::uint16_t* pwData, std::uint8_t* pbData);
void PackBlock(const std::uint8_t* pbData, std::uint16_t* pwData);

// How a file's data is represented in a host file: text, 384-byte image
// blocks or 256-byte byte blocks.
enum class TransferMode { Ascii, Image, Byte };

// What became of an import.
enum class ImportResult {
    Written,    // all of the data is in the blocks
    NoRoom,     // the data does not fit the room
    ReadError,  // the host file could not be read
};

// Exports of nCount blocks from nFirst on, each run of blocks read from the
// disk in one transfer: false when the host file did not take all the data.
// A device fault abandons the command (AbortCommand).
bool CopyAsciiOut(unsigned nFirst, unsigned nCount, std::FILE* pStream);
bool CopyImageOut(unsigned nFirst, unsigned nCount, int fd);
bool CopyByteOut(unsigned nFirst, unsigned nCount, int fd);

// Imports with the room rule: on entry *pnLength is the room in blocks; when
// Written it is the blocks written, otherwise 0. Blocks go to the disk in
// runs as the host file is read, so with NoRoom or ReadError some blocks of
// the room may hold data. CopyIn takes the stream for ASCII and the
// descriptor for the other modes.
ImportResult CopyAsciiIn(unsigned nFirst, int* pnLength, std::FILE* pStream);
ImportResult CopyImageIn(unsigned nFirst, int* pnLength, int fd);
ImportResult CopyByteIn(unsigned nFirst, int* pnLength, int fd);
ImportResult CopyIn(TransferMode mode, unsigned nFirst, int* pnLength, std::FILE* pStream, int fd);

// What the text conversion changed in a host text: text after a control-Z,
// which ends the file, is left out, and characters with bit 7 set lose it.
struct HostTextNotes {
    bool fCutAtControlZ = false;
    unsigned nHighBit = 0;
};

// Blocks an import will write, computed before anything is written. The text
// form reads the stream to its end and rewinds it, and tells in pNotes (when
// given) what the conversion will change; false on a read error. The binary
// form takes the size of the whole file (a regular file), which must not
// have been read yet.
bool CountAsciiBlocks(std::FILE* pStream, unsigned long* pnBlocks, HostTextNotes* pNotes = nullptr);
bool CountBinaryBlocks(int fd, unsigned cbBlock, unsigned long* pnBlocks);
