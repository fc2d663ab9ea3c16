// The WRITE command: copies host files into the mounted OS/8 unit, and the
// system head or the boot block from a host image file into their blocks.
#include <fcntl.h>

#include <algorithm>
#include <cstdio>

#include "commands.h"
#include "hostio.h"
#include "os8.h"
#include "shell.h"

namespace {

const char* ModeName(TransferMode mode) {
    switch (mode) {
    case TransferMode::Ascii: return "ASCII";
    case TransferMode::Image: return "image";
    case TransferMode::Byte: return "byte";
    }
    return "";
}

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
            m_stream.Reset(std::fopen(path.c_str(), "r"));
            fOpen = m_stream.IsOpen();
        } else {
            m_file.Reset(open(path.c_str(), O_RDONLY));
            fOpen = m_file.IsOpen();
        }
        if (!fOpen)
            Message('E', "unable to read %s file %s", ModeName(mode), hostPath.c_str());
        return fOpen;
    }

    // The blocks an import of the whole file will take; false on a read
    // error. The file is read again from its start by the import.
    bool CountBlocks(unsigned long* pnBlocks) {
        if (m_mode == TransferMode::Ascii)
            return CountAsciiBlocks(m_stream.Get(), pnBlocks);
        unsigned cbBlock = m_mode == TransferMode::Image ? OS8_BYTE_BLOCK_SIZE : OS8_BLOCK_SIZE;
        return CountBinaryBlocks(m_file.Get(), cbBlock, pnBlocks);
    }

    TransferMode mode() const { return m_mode; }
    std::FILE* stream() const { return m_stream.Get(); }
    int fd() const { return m_file.Get(); }

private:
    TransferMode m_mode = TransferMode::Image;
    HostStream m_stream;
    HostFd m_file;
};

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
        Message('E', "error reading file %s", hostPath.c_str());
        return false;
    }
    return false;
}

// Creates the tentative file for the new data (nNeeded blocks) in the
// largest free area. An older file stored under exactly the new file's name
// is removed first, so that writing makefile (MAKEFI) never touches
// MAKEFI.SV; the old version is kept when the new data would not fit even
// after the purge. One pass over the directory finds both the older file and
// the free area; only a purge, which changes the free areas, calls for a
// second. False when the host file is to be skipped; otherwise *pnRoom is the
// room of the tentative file (0 for none).
bool CreateFileFor(const std::string& os8Name, bool fConfirm, unsigned long nNeeded,
                   OS8_CONTEXT* pContext, int* pnFirst, int* pnRoom) {
    const OS8Name awName = EncodeFileName(os8Name);
    OS8_CONTEXT file;
    bool fFound = false;
    int nBlock = 0;
    int nLength = 0;
    FindStoredNameAndLargestEmpty(pContext, &awName, &file, &fFound, &nBlock, &nLength);
    if (fFound) {
        const std::string found = DecodeFileName(&file.awData[static_cast<unsigned>(file.nPoint)]);
        if (nNeeded > static_cast<unsigned long>(std::max(LargestFreeAfterDelete(&file, nLength), 0))) {
            Message('W', "not enough room for %s", os8Name.c_str());
            return false;
        }
        if (fConfirm) {
            if (!Confirm("Purge existing file %s ?", false, found.c_str()))
                return false;
        } else {
            Message('I', "purging existing version of %s", found.c_str());
        }
        DeleteEntry(&file);
        FindLargestEmpty(pContext, &nBlock, &nLength);
    }
    CreateTentativeFileAt(pContext, os8Name, EncodeToday(), nBlock, nLength, pnFirst, pnRoom);
    return true;
}

void WriteOneFile(const std::string& os8Pattern, const std::string& hostPath, TransferMode mode,
                  bool fConfirm) {
    std::string os8Name = MakeOS8Name(hostPath, os8Pattern);
    // A name without name characters would be stored with a first word of
    // 0, which marks free space.
    if (!IsStorableFileName(os8Name)) {
        Message('E', "invalid OS/8 file name %s", os8Name.c_str());
        return;
    }
    if (fConfirm && !Confirm("Write %s to %s ?", true, hostPath.c_str(), os8Name.c_str()))
        return;
    // The host file is opened and measured before anything on the disk
    // changes, so an unreadable file or one too large purges nothing.
    HostInput input;
    if (!input.Open(mode, hostPath))
        return;
    unsigned long nNeeded = 0;
    if (!input.CountBlocks(&nNeeded)) {
        Message('E', "error reading file %s", hostPath.c_str());
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
            Message('E', "error reading file %s", hostPath.c_str());
            return;
        }
        if (cbRead == 0) {
            Message('W', "host file %s is empty, nothing written", hostPath.c_str());
            return;
        }
    }
    OS8_CONTEXT context;
    int nFirst = 0;
    int nRoom = 0;
    if (!CreateFileFor(os8Name, fConfirm, nNeeded, &context, &nFirst, &nRoom))
        return;
    if (nRoom == 0) {
        Message('W', "no room (disk full) for %s", os8Name.c_str());
        return;
    }
    int nLength = nRoom;
    bool fWritten = Import(os8Name, static_cast<unsigned>(nFirst), &nLength, input, hostPath);
    CloseTentativeFile(&context, fWritten ? nLength : 0);
    if (fWritten)
        Message('I', "wrote %s to %s", hostPath.c_str(), os8Name.c_str());
}

bool WriteFiles(const std::string& os8Pattern, const std::string& hostPattern, TransferMode mode,
                bool fConfirm) {
    bool fFound = false;
    std::string hostPath;
    for (bool fFirst = true; FindHostFile(fFirst, hostPattern, hostPath); fFirst = false) {
        fFound = true;
        WriteOneFile(os8Pattern, hostPath, mode, fConfirm);
    }
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
    unsigned nFirst = fSystemHead ? ORVA_SYSTEM_HEAD_FIRST : ORVA_BOOT_BLOCK_FIRST;
    int nBlocks = static_cast<int>(fSystemHead ? ORVA_SYSTEM_HEAD_BLOCKS : ORVA_BOOT_BLOCK_BLOCKS);
    int nLength = nBlocks;
    if (!Import("SYSTEM", nFirst, &nLength, input, hostPath))
        return;
    bool fExact = nLength == nBlocks;
    if (fSystemHead && fExact)
        Message('I', "OS/8 system head written from %s", hostPath.c_str());
    else if (fSystemHead)
        Message('E', "OS/8 system head length wrong %s", hostPath.c_str());
    else if (fExact)
        Message('I', "boot block written from %s", hostPath.c_str());
    else
        Message('E', "boot block length wrong %s", hostPath.c_str());
}

void WriteSystemHead(const std::string& hostPath) { WriteFixedArea(hostPath, true); }

void WriteBootBlock(const std::string& hostPath) { WriteFixedArea(hostPath, false); }

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
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
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c != '.' && !IsAsciiLetterOrDigit(c))
            c = 'X';
    }
    return name;
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
    TransferMode mode = flags.mode;
    std::string item, os8Pattern;
    for (unsigned nIndex = 0; GetListItem(param1, item, ',', nIndex); ++nIndex) {
        // A destination names the file of its own place in the list; the
        // others keep their host names.
        if (!GetListItem(param2, os8Pattern, ',', nIndex))
            os8Pattern = "*.*";
        if (!WriteFiles(os8Pattern, item, mode, flags.fConfirm))
            Message('W', "no files found to match %s", item.c_str());
    }
}
