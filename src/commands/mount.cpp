// The disk commands MOUNT, DISMOUNT and PARTITION, and the mounted and
// writable checks that every file command makes first.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "commands.h"
#include "devices.h"
#include "disk.h"
#include "os8.h"
#include "shell.h"

bool CheckMounted() {
    if (IsDiskMounted())
        return true;
    Message('E', "no disk mounted");
    return false;
}

bool CheckWritable() {
    if (!CheckMounted())
        return false;
    if (IsDiskReadOnly()) {
        Message('E', "disk is read only");
        return false;
    }
    return true;
}

bool RefuseMountedDisk(const std::string& hostPath, const std::string& hostName) {
    if (!IsMountedDisk(hostPath))
        return false;
    Message('E', "%s is the mounted disk", Unquote(hostName).c_str());
    return true;
}

void DismountCurrent() {
    if (!CheckMounted())
        return;
    Message('I', "dismounting disk %s", GetDiskName().c_str());
    CloseDisk();
}

namespace {

struct MountOptions {
    DiskType nDiskType = DiskType::RX50;
    bool fTypeGiven = false;
    bool fVirtual = true;
    bool fReadOnly = false;
    bool fSystem = false;
    bool fInitialize = false;
    bool fConfirm = true;
    std::string szName;
};

// The device whose type qualifier the word is, in the order of the device
// table; null when it names no device.
const DeviceInfo* MatchDeviceKeyword(std::string_view word) {
    for (const DeviceInfo& device : DEVICE_TABLE)
        if (MatchKeyword(word, device.keyword, device.nKeywordMinimum))
            return &device;
    return nullptr;
}

// Reads the qualifiers and checks the rules and the parameter; false (after
// the message) ends the command.
bool ParseMountOptions(const std::string& qualifiers, const std::string& param1,
                       const std::string& param2, MountOptions& options) {
    options = MountOptions{};
    DiskType nGivenType = DiskType::None;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (const DeviceInfo* pDevice = MatchDeviceKeyword(word))
            nGivenType = pDevice->nDiskType;
        else if (MatchKeyword(word, "PHYSICAL", 3))
            options.fVirtual = false;
        else if (MatchKeyword(word, "VIRTUAL", 3))
            options.fVirtual = true;
        else if (MatchKeyword(word, "READ_ONLY", 4))
            options.fReadOnly = true;
        else if (MatchQualifier(word, "SYSTEM", 3, &options.fSystem) ||
                 MatchQualifier(word, "INITIALIZE", 3, &options.fInitialize) ||
                 MatchQualifier(word, "CONFIRM", 4, &options.fConfirm))
            continue;
        else {
            ReportUnknownQualifier(word);
            return false;
        }
    }
    if (nGivenType != DiskType::None) {
        options.nDiskType = nGivenType;
        options.fTypeGiven = true;
    }
    if (!options.fVirtual && !GetDeviceInfo(options.nDiskType).fPhysical) {
        Message('E', "/PHYSICAL can be used only with RX01, RX50 or HE02");
        return false;
    }
    if (options.fReadOnly && options.fInitialize) {
        Message('E', "/INITIALIZE is incompatible with /READ_ONLY");
        return false;
    }
    if (!CheckParameterCount(1, param1, param2) || !CheckNoList(param1))
        return false;
    options.szName = param1;
    return true;
}

// The type an image name's extension tells (case folded), from the
// extensions of the device table; false for a name without a known
// extension.
bool TypeFromExtension(const std::string& szName, DiskType* pnDiskType) {
    std::string directory, name, extension;
    SplitHostPath(szName, directory, name, extension);
    DiskType nDiskType = FindDeviceByExtension(extension);
    if (nDiskType == DiskType::None)
        return false;
    *pnDiskType = nDiskType;
    return true;
}

// An image larger than its type is not a disk of that type: most likely the
// type qualifier is wrong, and writing would corrupt it. It is mounted read
// only, with a warning. (A shorter image is a valid disk: the simulator
// writes them so.)
void CheckImageSize(MountOptions& options) {
    struct stat info {};
    if (::stat(HostPath(options.szName).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    const std::uint64_t cbFull = GetImageBytes(options.nDiskType);
    if (static_cast<std::uint64_t>(info.st_size) <= cbFull)
        return;
    Message('W', "%s is larger than a %s disk (%lu bytes); check the type qualifier",
            options.szName.c_str(), std::string(GetDeviceInfo(options.nDiskType).keyword).c_str(),
            static_cast<unsigned long>(cbFull));
    options.fReadOnly = true;
    options.fInitialize = false;
}

// A name without extension gets the type's own.
void AddDefaultExtension(std::string& szName, DiskType nDiskType) {
    std::string directory, name, extension;
    std::string plain = Unquote(szName);
    SplitHostPath(plain, directory, name, extension);
    if (!extension.empty())
        return;
    extension = std::string(GetDeviceInfo(nDiskType).extensions[0]);
    // A quoted name stays quoted, so that HostPath takes it verbatim.
    szName = IsQuoted(szName) ? Quote(plain + extension) : szName + extension;
}

// An empty directory on every unit or partition of the new mount; partition
// 0 is current afterwards.
void InitializeUnits(bool fSystem) {
    SelectPartition(0);
    ZeroDirectory(fSystem);
    for (std::uint32_t nPartition = 1; SelectPartition(nPartition); ++nPartition)
        ZeroDirectory(fSystem);
    SelectPartition(0);
}

// True when block 0 of partition 0 carries the boot signature, or when the
// user mounts the drive anyway.
bool CheckBootBlock(const std::string& name, bool fConfirm) {
    static constexpr std::uint16_t kSignature[] = {0302, 0317, 0317, 0324, 0000};
    SelectPartition(0);
    BlockWords awData{};
    ReadBlock(0, awData.data());
    bool fSigned = true;
    for (std::size_t i = 0; i < std::size(kSignature); ++i)
        fSigned = fSigned && awData[i] == kSignature[i];
    if (fSigned)
        return true;
    Message('W', "IDE unit %s does not contain a KESTRIL boot block", name.c_str());
    return !fConfirm || Confirm("Really mount IDE unit %s ?", false, name.c_str());
}

// Holds a new mount while MOUNT checks and initialises it. A device fault
// that abandons the command on the way dismounts the disk again, so MOUNT
// never leaves a disk half initialised or on another partition than 0.
class PendingMount {
public:
    PendingMount() = default;
    PendingMount(const PendingMount&) = delete;
    PendingMount& operator=(const PendingMount&) = delete;
    ~PendingMount() {
        if (!fKept_ && IsDiskMounted())
            DismountCurrent();
    }
    void Keep() { fKept_ = true; }

private:
    bool fKept_ = false;
};

// Another orva, or another program that locks what it opens, has the image
// or drive; nothing is mounted.
void ReportDiskInUse(const char* pszName) {
    Message('E', "%s is in use by another program", pszName);
}

void MountImage(const MountOptions& options) {
    const std::string shownName = Unquote(options.szName);
    const char* pszName = shownName.c_str();
    if (OpenDisk(true, options.fReadOnly, options.nDiskType, options.szName)) {
        PendingMount pending;
        if (options.fInitialize &&
            (!options.fConfirm || Confirm("Initialize virtual disk file %s ?", true, pszName))) {
            InitializeUnits(options.fSystem);
            Message('I', "initialized virtual disk on file %s", pszName);
        } else {
            Message('I', "mounted virtual disk on file %s", pszName);
        }
        pending.Keep();
    } else if (WasDiskInUse()) {
        ReportDiskInUse(pszName);
    } else if (!options.fInitialize) {
        Message('E', "unable to access virtual disk file %s (%s)", pszName, HostReason(errno));
    } else if (CreateDisk(true, options.nDiskType, options.szName)) {
        PendingMount pending;
        InitializeUnits(options.fSystem);
        Message('I', "virtual disk file %s initialized", pszName);
        pending.Keep();
    } else if (WasDiskInUse()) {
        ReportDiskInUse(pszName);
    } else {
        Message('E', "unable to create virtual disk file %s (%s)", pszName, HostReason(errno));
    }
}

void MountDrive(const MountOptions& options) {
    const std::string shownName = Unquote(options.szName);
    const char* pszName = shownName.c_str();
    // A type without a physical drive fails with no host call, and so
    // without a host reason.
    errno = 0;
    if (!OpenDisk(false, options.fReadOnly, options.nDiskType, options.szName)) {
        if (WasDiskInUse())
            ReportDiskInUse(pszName);
        else if (errno != 0)
            Message('E', "unable to access physical disk drive %s (%s)", pszName, HostReason(errno));
        else
            Message('E', "unable to access physical disk drive %s", pszName);
        return;
    }
    PendingMount pending;
    if (options.nDiskType == DiskType::HE02 && !CheckBootBlock(shownName, options.fConfirm))
        return;  // the pending mount dismounts the drive
    if (options.fInitialize &&
        (!options.fConfirm || Confirm("Initialize physical disk %s ?", true, pszName))) {
        InitializeUnits(options.fSystem);
        Message('I', "initialized physical disk %s", pszName);
    } else {
        Message('I', "mounted physical disk %s", pszName);
    }
    pending.Keep();
}

}  // namespace

void DoMount(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    // A MOUNT that fails for any reason leaves nothing mounted.
    if (IsDiskMounted())
        DismountCurrent();
    MountOptions options;
    if (!ParseMountOptions(qualifiers, param1, param2, options))
        return;
    if (options.fVirtual) {
        // Without a type qualifier the image's extension tells the type.
        if (!options.fTypeGiven)
            TypeFromExtension(options.szName, &options.nDiskType);
        AddDefaultExtension(options.szName, options.nDiskType);
        CheckImageSize(options);
        MountImage(options);
    } else {
        MountDrive(options);
    }
}

void DoDismount(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    if (!CheckNoQualifiers(qualifiers) || !CheckParameterCount(0, param1, param2))
        return;
    DismountCurrent();
}

void DoPartition(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    if (!CheckNoQualifiers(qualifiers) || !CheckParameterCount(1, param1, param2) ||
        !CheckNoList(param1))
        return;
    std::uint32_t nPartition = 0;
    bool fValid = ParsePartitionName(param1, &nPartition);
    if (!fValid && param1.size() == 1 && std::isalpha(static_cast<unsigned char>(param1[0]))) {
        nPartition = static_cast<std::uint32_t>(std::toupper(static_cast<unsigned char>(param1[0])) - 'A');
        fValid = true;
    }
    if (!fValid || !SelectPartition(nPartition))
        Message('E', "invalid partition name %s", param1.c_str());
}
