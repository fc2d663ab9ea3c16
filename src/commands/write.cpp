// The WRITE command: copies host files into the mounted OS/8 unit, and the
// system head or the boot block from a host image file into their blocks.
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <string_view>
#include <vector>

#include "commands.h"
#include "disk.h"
#include "hostio.h"
#include "os8.h"
#include "portable.h"
#include "shell.h"

namespace {

// A host file opened for reading: a text stream in ASCII mode, a file
// descriptor in image and byte mode. Closed when it goes.
class HostInput {
public:
    // Opens the host file for the mode; false after its message.
    bool Open(TransferMode mode, const std::string& hostPath) {
        std::string path = HostPath(hostPath);
        m_mode = mode;
        bool fOpen = false;
        if (mode == TransferMode::Ascii) {
            // Binary: the conversion reads CR LF and control-Z itself; a
            // text-mode stream on Windows would end the text at a control-Z
            // without telling what was cut.
            m_stream.Reset(std::fopen(path.c_str(), "rb"));
            fOpen = m_stream.IsOpen();
        } else {
            m_file.Reset(open(path.c_str(), O_RDONLY | O_BINARY));
            fOpen = m_file.IsOpen();
        }
        if (!fOpen)
            Message('E', "unable to read %s file %s (%s)", TransferModeName(mode), Unquote(hostPath).c_str(),
                    HostReason(errno));
        return fOpen;
    }

    // The blocks an import of the whole file will take; false on a read
    // error. The file is read again from its start by the import.
    bool CountBlocks(unsigned long* pnBlocks) {
        if (m_mode == TransferMode::Ascii)
            return CountAsciiBlocks(m_stream.Get(), pnBlocks, &m_notes);
        unsigned cbBlock = m_mode == TransferMode::Image ? OS8_BYTE_BLOCK_SIZE : OS8_BLOCK_SIZE;
        return CountBinaryBlocks(m_file.Get(), cbBlock, pnBlocks);
    }

    // What the text conversion changes, once CountBlocks has run.
    const HostTextNotes& notes() const { return m_notes; }
    TransferMode mode() const { return m_mode; }
    std::FILE* stream() const { return m_stream.Get(); }
    int fd() const { return m_file.Get(); }

private:
    TransferMode m_mode = TransferMode::Image;
    HostTextNotes m_notes;
    HostStream m_stream;
    HostFd m_file;
};

// "error reading file %s" with the host's reason (a stream can keep an
// error from a read that errno has forgotten).
void ReportReadError(const std::string& hostPath, int nError) {
    Message('E', "error reading file %s (%s)", Unquote(hostPath).c_str(), HostReason(nError != 0 ? nError : EIO));
}

// Imports the host file into the room from nFirst on; true when it was
// written (*pnLength the blocks), false after the message of its failure.
bool Import(const std::string& os8Name, unsigned nFirst, int* pnLength, const HostInput& input,
            const std::string& hostPath) {
    switch (CopyIn(input.mode(), nFirst, pnLength, input.stream(), input.fd())) {
    case ImportResult::Written:
        return true;
    case ImportResult::NoRoom:
        Message('W', "not enough room for %s", os8Name.c_str());
        return false;
    case ImportResult::ReadError:
        ReportReadError(hostPath, errno);
        return false;
    }
    return false;
}

// What becomes of an older file stored under exactly the new file's name
// (so that writing makefile, MAKEFI, never touches MAKEFI.SV).
enum class OldVersion {
    None,         // there is none
    KeepUntilNew, // removed once the new version is closed
    PurgeFirst,   // the new version fits only in the room it frees
    Skip,         // the host file is not written
};

// Finds an older version and asks about it. It is kept when the new data
// (nNeeded blocks) would not fit even after it is purged. *pnOldBlock is
// its first block. The same pass over the directory positions *pFree on
// the largest free area, *pnFreeBlock its first block and *pnFree its blocks,
// as FindLargestEmpty does, for the new file.
OldVersion CheckOldVersion(const std::string& os8Name, bool fConfirm, unsigned long nNeeded,
                           int* pnOldBlock, OS8_CONTEXT* pFree, int* pnFreeBlock, int* pnFree) {
    const OS8Name awName = EncodeFileName(os8Name);
    OS8_CONTEXT context;
    bool fFound = false;
    FindStoredNameAndLargestEmpty(pFree, &awName, &context, &fFound, pnFreeBlock, pnFree);
    if (!fFound)
        return OldVersion::None;
    *pnOldBlock = context.nBlock;
    const std::string found = DecodeFileName(&context.awData[static_cast<unsigned>(context.nPoint)]);
    if (nNeeded > static_cast<unsigned long>(std::max(LargestFreeAfterDelete(&context, *pnFree), 0))) {
        Message('W', "not enough room for %s", os8Name.c_str());
        return OldVersion::Skip;
    }
    if (fConfirm) {
        if (!Confirm("Purge existing file %s ?", false, found.c_str()))
            return OldVersion::Skip;
    } else {
        Message('I', "purging existing version of %s", found.c_str());
    }
    return nNeeded <= static_cast<unsigned long>(*pnFree) ? OldVersion::KeepUntilNew : OldVersion::PurgeFirst;
}

// Deletes the older version: the file of that name that begins at nBlock.
void PurgeOldVersion(const std::string& os8Name, int nBlock) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string found;
    int nFound = 0;
    int nLength = 0;
    while (FindStoredName(&context, os8Name, found, &nFound, &nLength)) {
        if (nFound == nBlock) {
            DeleteEntry(&context);
            return;
        }
    }
}

// No tentative file could be made: the disk has no free block, or free
// blocks but no room in its directory for another entry.
void ReportNoRoom(const std::string& os8Name) {
    OS8_CONTEXT context;
    int nBlock = 0;
    int nFree = 0;
    FindLargestEmpty(&context, &nBlock, &nFree);
    if (nFree > 0)
        Message('W', "no room (directory full) for %s", os8Name.c_str());
    else
        Message('W', "no room (disk full) for %s", os8Name.c_str());
}

void WriteOneFile(const std::string& os8Pattern, const std::string& hostPath, TransferMode mode,
                  bool fConfirm) {
    std::string os8Name = MakeOS8Name(Unquote(hostPath), os8Pattern);
    std::string shownPath = Unquote(hostPath);
    // A name without name characters would be stored with a first word of
    // 0, which marks free space.
    if (!IsStorableFileName(os8Name)) {
        Message('E', "invalid OS/8 file name %s", os8Name.c_str());
        return;
    }
    if (fConfirm && !Confirm("Write %s to %s ?", true, shownPath.c_str(), os8Name.c_str()))
        return;
    // The host file is opened and measured before anything on the disk
    // changes, so an unreadable file or one too large purges nothing.
    HostInput input;
    if (!input.Open(mode, hostPath))
        return;
    unsigned long nNeeded = 0;
    errno = 0;
    if (!input.CountBlocks(&nNeeded)) {
        ReportReadError(hostPath, errno);
        return;
    }
    // An empty image or byte file would give a file of no blocks, which a
    // directory cannot hold; refuse it before an older version is purged.
    // Files whose size the host does not know (such as those of /proc) are
    // asked for their first byte.
    if (nNeeded == 0 && mode != TransferMode::Ascii) {
        std::uint8_t bFirst = 0;
        std::size_t cbRead = 0;
        if (!ReadAt(input.fd(), &bFirst, 1, 0, &cbRead)) {
            ReportReadError(hostPath, errno);
            return;
        }
        if (cbRead == 0) {
            Message('W', "host file %s is empty, nothing written", shownPath.c_str());
            return;
        }
    }
    // The new version is written as a tentative file beside the old one,
    // which goes only once the new one is closed: a fault or a read error
    // on the way leaves the old version as it was. Only when the new data
    // fits nowhere but in the old version's room is the old one purged
    // first.
    // One pass over the directory finds the older version and the free area;
    // only a purge, which changes the free areas, calls for another.
    int nOldBlock = 0;
    OS8_CONTEXT context;
    int nFreeBlock = 0;
    int nFree = 0;
    OldVersion old = CheckOldVersion(os8Name, fConfirm, nNeeded, &nOldBlock, &context, &nFreeBlock, &nFree);
    if (old == OldVersion::Skip)
        return;
    int nFirst = 0;
    int nRoom = 0;
    if (old != OldVersion::PurgeFirst) {
        CreateTentativeFileAt(&context, os8Name, EncodeToday(), nFreeBlock, nFree, &nFirst, &nRoom);
        // No directory room for a second entry: the old one makes way.
        if (nRoom == 0 && old == OldVersion::KeepUntilNew)
            old = OldVersion::PurgeFirst;
    }
    if (old == OldVersion::PurgeFirst) {
        PurgeOldVersion(os8Name, nOldBlock);
        CreateTentativeFile(&context, os8Name, EncodeToday(), &nFirst, &nRoom);
    }
    if (nRoom == 0) {
        ReportNoRoom(os8Name);
        return;
    }
    int nLength = nRoom;
    errno = 0;
    bool fWritten = Import(os8Name, static_cast<unsigned>(nFirst), &nLength, input, hostPath);
    if (!fWritten) {
        CloseTentativeFile(&context, 0);
        return;
    }
    if (old != OldVersion::KeepUntilNew)
        CloseTentativeFile(&context, nLength);
    else if (!CloseTentativeReplacing(&context, nLength, nOldBlock))
        PurgeOldVersion(os8Name, nOldBlock);
    Message('I', "wrote %s to %s", shownPath.c_str(), os8Name.c_str());
    // The text conversion keeps OS/8's rules, but says what they changed.
    if (input.notes().fCutAtControlZ)
        Message('W', "%s: text after a control-Z was not written", shownPath.c_str());
    if (input.notes().nHighBit > 0)
        Message('W', "%s: %u characters outside 7-bit ASCII were changed", shownPath.c_str(),
                input.notes().nHighBit);
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// The host files one item names, without the mounted image: a wildcard
// passes over it silently, a name of its own is refused. Nothing is written
// to the disk before the whole list is known.
std::vector<std::string> FindHostFiles(const std::string& hostPattern, bool* pfFound) {
    std::vector<std::string> paths;
    *pfFound = false;
    std::string hostPath;
    for (bool fFirst = true; FindHostFile(fFirst, hostPattern, hostPath); fFirst = false) {
        *pfFound = true;
        if (IsMountedDisk(hostPath)) {
            if (!HasWildcard(hostPattern))
                Message('E', "%s is the mounted disk", Unquote(hostPath).c_str());
            continue;
        }
        paths.push_back(hostPath);
    }
    return paths;
}

// Several host files written under one OS/8 name would each purge the one
// before: only the last would be left. True when the item must be refused.
bool WouldShareOneName(const std::string& os8Pattern, const std::vector<std::string>& paths) {
    if (paths.size() < 2)
        return false;
    if (!HasWildcard(os8Pattern))
        return true;
    std::set<OS8Name> names;
    for (const std::string& path : paths) {
        if (!names.insert(EncodeFileName(MakeOS8Name(Unquote(path), os8Pattern))).second)
            return true;
    }
    return false;
}

bool WriteFiles(const std::string& os8Pattern, const std::string& hostPattern, TransferMode mode,
                bool fConfirm) {
    bool fFound = false;
    const std::vector<std::string> paths = FindHostFiles(hostPattern, &fFound);
    if (WouldShareOneName(os8Pattern, paths)) {
        Message('E', "%s matches several host files; give a destination pattern such as *.TX",
                hostPattern.c_str());
        return true;
    }
    for (const std::string& hostPath : paths)
        WriteOneFile(os8Pattern, hostPath, mode, fConfirm);
    return fFound;
}

// Writes a fixed area of a system disk block by block from a host image file.
void WriteFixedArea(const std::string& hostPath, bool fSystemHead) {
    if (!IsSystemDisk()) {
        Message('E', "not a system disk");
        return;
    }
    HostInput input;
    if (!input.Open(TransferMode::Image, hostPath))
        return;
    unsigned nFirst = fSystemHead ? OS8_SYSTEM_HEAD_FIRST : OS8_BOOT_BLOCK;
    int nBlocks = static_cast<int>(fSystemHead ? OS8_SYSTEM_HEAD_BLOCKS : 1);
    int nLength = nBlocks;
    if (!Import("SYSTEM", nFirst, &nLength, input, hostPath))
        return;
    bool fExact = nLength == nBlocks;
    if (fSystemHead && fExact)
        Message('I', "OS/8 system head written from %s", Unquote(hostPath).c_str());
    else if (fSystemHead)
        Message('E', "OS/8 system head length wrong %s", Unquote(hostPath).c_str());
    else if (fExact)
        Message('I', "boot block written from %s", Unquote(hostPath).c_str());
    else
        Message('E', "boot block length wrong %s", Unquote(hostPath).c_str());
}

void WriteSystemHead(const std::string& hostPath) { WriteFixedArea(hostPath, true); }

void WriteBootBlock(const std::string& hostPath) { WriteFixedArea(hostPath, false); }

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Upper case, and every character other than a letter, a digit or a dot
// replaced by X, so that no character of a name is silently dropped.
void ReplaceUnstorable(std::string& name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c != '.' && !IsAsciiLetterOrDigit(c))
            c = 'X';
    }
}

}  // namespace

std::string MakeOS8Name(std::string_view hostPath, std::string_view os8Pattern) {
    std::string directory, hostBase, hostExtension, base, extension;
    SplitHostPath(hostPath, directory, hostBase, hostExtension);
    SplitFileName(os8Pattern, base, extension);
    if (base.empty() || base == "*")
        base = hostBase.substr(0, 6);
    if (extension.empty() || extension == ".*")
        extension = hostExtension.substr(0, 3);
    std::string name = base.substr(0, 6) + extension.substr(0, 3);
    ReplaceUnstorable(name);
    return name;
}

std::string MakeStoredName(std::string_view name) {
    std::string text(name);
    ReplaceUnstorable(text);
    if (!IsStorableFileName(text))
        return text;
    return DecodeFileName(EncodeFileName(text).data());
}

void DoWrite(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    TransferFlags flags;
    if (!CheckTransferQualifiers(qualifiers, param1, param2, &flags))
        return;
    if (!CheckWritable())
        return;
    if (flags.fSystem) {
        WriteSystemHead(param1);
        return;
    }
    if (flags.fBoot) {
        WriteBootBlock(param1);
        return;
    }
    std::string item, os8Pattern;
    for (unsigned nIndex = 0; GetQuotedListItem(param1, item, ',', nIndex); ++nIndex) {
        // A destination names the file of its own place in the list; the
        // others keep their host names.
        if (!GetListItem(param2, os8Pattern, ',', nIndex))
            os8Pattern = "*.*";
        if (!WriteFiles(os8Pattern, item, flags.mode, flags.fConfirm))
            Message('W', "no files found to match %s", Unquote(item).c_str());
    }
}
