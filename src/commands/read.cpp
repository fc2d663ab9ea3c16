// The READ command: copies OS/8 files, the system head or the boot block of
// the mounted unit to host files, and the qualifier check READ shares with
// WRITE.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <cstdio>
#include <utility>

#include "commands.h"
#include "disk.h"
#include "hostio.h"
#include "os8.h"
#include "portable.h"
#include "shell.h"

namespace {

// "error writing file %s" with the host's reason: the errno of the failed
// copy, or else that of the failed close.
void ReportWriteError(const std::string& hostName, int nError) {
    // A stream can keep an error from a write that errno has forgotten.
    if (nError == 0)
        nError = EIO;
    Message('E', "error writing file %s (%s)", Unquote(hostName).c_str(), HostReason(nError));
}

// Copies nCount blocks from nFirst into a new host file in the mode; false
// after its message. A text file replaces an existing file; image and byte
// files are created new, never over an existing file. A copy that fails or
// is abandoned leaves no partial file behind.
bool ExportFile(TransferMode mode, unsigned nFirst, unsigned nCount, const std::string& hostName) {
    std::string path = HostOutputPath(hostName);
    // Refused before anything is opened for writing. The path is this
    // host's already: quoted, it is taken as it stands.
    if (RefuseMountedDisk(Quote(path), hostName))
        return false;
    PartialOutput partial(path);
    bool fCopied = false;
    bool fClosed = false;
    int nError = 0;
    errno = 0;
    if (mode == TransferMode::Ascii) {
        HostStream stream(std::fopen(path.c_str(), "w"));
        if (!stream.IsOpen()) {
            Message('E', "unable to write ASCII file %s (%s)", Unquote(hostName).c_str(), HostReason(errno));
            return false;
        }
        partial.Arm(fileno(stream.Get()));
        errno = 0;
        fCopied = CopyAsciiOut(nFirst, nCount, stream.Get());
        nError = fCopied ? 0 : errno;
        errno = 0;
        fClosed = stream.Close();
    } else {
        HostFd file(open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY, S_IRUSR | S_IWUSR));
        if (!file.IsOpen()) {
            Message('E', "unable to write image file %s (%s)", Unquote(hostName).c_str(), HostReason(errno));
            return false;
        }
        partial.Arm(file.Get());
        errno = 0;
        fCopied = mode == TransferMode::Byte ? CopyByteOut(nFirst, nCount, file.Get())
                                             : CopyImageOut(nFirst, nCount, file.Get());
        nError = fCopied ? 0 : errno;
        errno = 0;
        fClosed = file.Reset();
    }
    if (nError == 0)
        nError = errno;
    if (!fCopied || !fClosed) {
        ReportWriteError(hostName, nError);
        return false;
    }
    partial.Keep();
    return true;
}

// The host time of an OS/8 date word: noon local time of the day DIRECTORY
// shows for it. False for no date (0) and for a day the calendar does not
// have (day 0, 31 April), which keep the time of the copy.
bool HostTimeOfDate(std::uint16_t wDate, std::time_t* ptTime) {
    if (wDate == 0)
        return false;
    int nDay = 0;
    int nMonth = 0;
    int nYear = 0;
    DecodeDate(wDate, &nDay, &nMonth, &nYear);
    std::tm local{};
    local.tm_year = nYear;
    local.tm_mon = nMonth - 1;
    local.tm_mday = nDay;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const std::time_t tTime = std::mktime(&local);
    if (tTime == static_cast<std::time_t>(-1) || local.tm_mday != nDay || local.tm_mon != nMonth - 1)
        return false;
    *ptTime = tTime;
    return true;
}

// Gives the host file READ made the date of its OS/8 file as its
// modification time. Only a regular file is touched (not a device named as
// the destination); a failure leaves the time of the copy, without a message.
void KeepFileDate(const std::string& hostName, std::uint16_t wDate) {
    std::time_t tTime = 0;
    if (!HostTimeOfDate(wDate, &tTime))
        return;
    namespace fs = std::filesystem;
    const fs::path path(HostOutputPath(hostName));
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return;
    const auto sysTime = std::chrono::system_clock::from_time_t(tTime);
    fs::last_write_time(path, std::chrono::file_clock::from_sys(sysTime), ec);
}

bool ReadFiles(const std::string& pattern, const std::string& destination, TransferMode mode,
               bool fConfirm) {
    bool fFound = false;
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    int nBlock = 0;
    int nLength = 0;
    std::uint16_t wDate = 0;
    while (FindFile(&context, pattern, name, &nBlock, &nLength, &wDate, nullptr)) {
        fFound = true;
        std::string hostName = MakeHostName(name, destination);
        std::string shownName = Unquote(hostName);
        if (fConfirm && !Confirm("Read %s into %s ?", true, name.c_str(), shownName.c_str()))
            continue;
        if (ExportFile(mode, static_cast<unsigned>(nBlock), static_cast<unsigned>(nLength), hostName)) {
            KeepFileDate(hostName, wDate);
            Message('I', "read %s into %s file %s", name.c_str(),
                    TransferModeName(mode), shownName.c_str());
        }
    }
    return fFound;
}

void ReadSystemHead(const std::string& hostName) {
    if (!IsSystemDisk()) {
        Message('E', "not a system disk");
        return;
    }
    if (ExportFile(TransferMode::Image, OS8_SYSTEM_HEAD_FIRST, OS8_SYSTEM_HEAD_BLOCKS, hostName))
        Message('I', "OS/8 system head copied to %s", Unquote(hostName).c_str());
}

void ReadBootBlock(const std::string& hostName) {
    if (!IsSystemDisk()) {
        Message('E', "not a system disk");
        return;
    }
    if (ExportFile(TransferMode::Image, OS8_BOOT_BLOCK, 1, hostName))
        Message('I', "boot block copied to %s", Unquote(hostName).c_str());
}

}  // namespace

const char* TransferModeName(TransferMode mode) {
    switch (mode) {
    case TransferMode::Ascii: return "ASCII";
    case TransferMode::Image: return "image";
    case TransferMode::Byte: return "byte";
    }
    return "";
}

bool CheckTransferQualifiers(const std::string& qualifiers, const std::string& param1,
                             const std::string& param2, TransferFlags* pFlags) {
    TransferFlags flags;
    bool fAscii = false;
    bool fImage = false;
    bool fByte = false;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (MatchQualifier(word, "CONFIRM", 4, &flags.fConfirm))
            continue;
        if (MatchKeyword(word, "SYSTEM", 3))
            flags.fSystem = true;
        else if (MatchKeyword(word, "BOOT", 3))
            flags.fBoot = true;
        else if (MatchKeyword(word, "IMAGE", 2))
            fImage = true;
        else if (MatchKeyword(word, "ASCII", 2))
            fAscii = true;
        else if (MatchKeyword(word, "BYTE", 2))
            fByte = true;
        else {
            ReportUnknownQualifier(word);
            return false;
        }
    }
    if (flags.fSystem || flags.fBoot) {
        if (fAscii || fByte) {
            Message('W', "image mode required with /SYSTEM or /BOOT");
            return false;
        }
        flags.mode = TransferMode::Image;
        if (flags.fSystem && flags.fBoot) {
            Message('W', "/SYSTEM and /BOOT may not be used together");
            return false;
        }
    } else if (fAscii && (fImage || fByte)) {
        Message('E', "/ASCII incompatible with /IMAGE and /BYTE");
        return false;
    } else {
        // ASCII unless /IMAGE or /BYTE; /BYTE wins over /IMAGE.
        flags.mode = fByte ? TransferMode::Byte : fImage ? TransferMode::Image : TransferMode::Ascii;
    }
    *pFlags = flags;
    if (param1.empty()) {
        Message('E', "at least one file name is required");
        return false;
    }
    if (flags.fSystem)
        return CheckParameterCount(1, param1, param2) && CheckNoList(param1);
    unsigned nDestinations = CountListItems(param2);
    if (nDestinations <= 1 || nDestinations == CountListItems(param1))
        return true;
    Message('E', "both lists must have the same number of items");
    return false;
}

std::string MakeHostName(std::string_view os8Name, std::string_view destination) {
    // SIXBIT has "/" and "\", so a damaged or foreign directory can hold
    // them in a name; kept, they would send the file into another folder,
    // even out of the destination. They become "_".
    std::string name(os8Name);
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\\', '_');
    if (destination.empty())
        return name;
    std::string directory, base, extension, os8Base, os8Extension;
    SplitHostPath(Unquote(destination), directory, base, extension);
    SplitFileName(name, os8Base, os8Extension);
    if (base.empty() || base == "*")
        base = os8Base;
    if (extension.empty() || extension == ".*")
        extension = os8Extension;
    // A quoted destination gives a quoted name: HostPath takes it verbatim.
    if (IsQuoted(destination))
        return Quote(directory + base + extension);
    return directory + base + extension;
}

std::string HostOutputPath(std::string_view hostName) {
    std::string path = HostPath(hostName);
    std::size_t nEnd = path.size();
    while (nEnd > 0 && path[nEnd - 1] == '.')
        --nEnd;
    // A name made of dots alone ("." or "..") is a directory, not a file
    // name with a trailing dot; it stays as it is and fails to open.
    if (nEnd > 0 && path[nEnd - 1] != '/')
        path.resize(nEnd);
    return path;
}

void DoRead(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    TransferFlags flags;
    if (!CheckTransferQualifiers(qualifiers, param1, param2, &flags))
        return;
    if (!CheckMounted())
        return;
    if (flags.fSystem) {
        ReadSystemHead(param1);
        return;
    }
    if (flags.fBoot) {
        ReadBootBlock(param1);
        return;
    }
    std::string item, destination;
    for (unsigned nIndex = 0; GetListItem(param1, item, ',', nIndex); ++nIndex) {
        // One destination serves every file; a list gives one per file.
        if (!GetQuotedListItem(param2, destination, ',', nIndex))
            destination = param2;
        // An existing directory is where the files go, also when it is
        // named without a separator at its end.
        if (IsHostDirectory(destination)) {
            std::string plain = Unquote(destination);
            if (!plain.empty() && plain.back() != '/' && plain.back() != '\\')
                destination = IsQuoted(destination) ? Quote(plain + '/') : destination + '/';
        }
        if (!ReadFiles(item, destination, flags.mode, flags.fConfirm))
            Message('W', "no files found to match %s", item.c_str());
    }
}
