// Fuzz target: arbitrary image bytes. An input is a flags byte followed by
// the raw bytes of four stretches of disk image, each up to 6656 bytes:
//   1. an RX01 image from byte 3328 on: tracks 1 and 2, which hold blocks
//      0 to 12 (the boot block and the directory segments), interleaved as
//      the drive stores them;
//   2. unit 0 of an RK05 image from byte 0: blocks 0 to 12;
//   3. unit 1 of the same RK05 image: blocks 0 to 12;
//   4. an image of one more device, chosen by flag bits 2-4 (RX50, NB03,
//      HE02, TU56, TU56 in its 128-word form, RX02, then TU56 and RX02
//      again), from the byte where its block 0 begins.
// Flag bit 0 (RX01), bit 1 (RK05) and bit 5 (the fourth image) make the
// image full size; without it the image ends with the last byte given, and
// everything after reads as zeros. The 128-word tape form is recognised by
// its size, so that image is always full size. On each of the four units the target lists the directory (full
// and brief), types every file, reads every file out in image mode and the
// system head, dumps blocks 0 to 6, renames every file, writes a small text
// file, deletes every file and lists the directory again. TYPE and READ
// run only when the files of the unit hold at most 400 blocks in all, so
// that every input stays well within a second under the sanitizers (a
// damaged directory may list each block of the unit six times over).
//
// The files are read into a folder four levels down in the private
// directory (names on a damaged disk may hold "/" or "\", and a name of
// nine characters cannot climb more than two folders), and afterwards every
// host file must lie where READ was told to put it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "disk.h"
#include "fuzz_kit.h"
#include "orva.h"
#include "os8.h"
#include "shell.h"

namespace {

constexpr std::size_t PART_BYTES = 13 * 512;  // 13 blocks
constexpr std::size_t RX01_TRACK_BYTES = 26 * 128;
constexpr std::size_t RX01_IMAGE_BYTES = 256256;
constexpr std::size_t RK05_UNIT_BYTES = 3248 * 512;
constexpr std::size_t RK05_IMAGE_BYTES = 2 * RK05_UNIT_BYTES;
constexpr long MAX_DATA_BLOCKS = 400;

// The fourth image: the device, where its part goes, and its full size.
struct OtherDevice {
    const char* pszQualifier;
    std::size_t lOffset;
    std::size_t cbFull;
    bool fAlwaysFull;
};

constexpr OtherDevice OTHER_DEVICES[8] = {
    {"/RX50", 10 * 512, 409600, false},  // track 1 onwards
    {"/NB03", 0, 524288, false},
    {"/HE02", 0, 2097152, false},
    {"/TU56", 0, 380292, false},
    {"/TU56", 0, 377344, true},          // the 128-word form
    {"/RX02", 26 * 256, 512512, false},  // track 1 onwards
    {"/TU56", 0, 380292, false},
    {"/RX02", 26 * 256, 512512, false},
};

// Lays out one image file: the parts at their offsets and, when fFull,
// zeros up to cbFull (left as a hole: it reads as zeros).
void WriteImage(const char* pszName, std::initializer_list<std::pair<std::size_t, std::string_view>> parts,
                bool fFull, std::size_t cbFull) {
    int fd = ::open(pszName, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        std::abort();
    for (const auto& [lOffset, bytes] : parts)
        if (!bytes.empty() &&
            ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(lOffset)) !=
                static_cast<ssize_t>(bytes.size()))
            std::abort();
    if (fFull && ::ftruncate(fd, static_cast<off_t>(cbFull)) != 0)
        std::abort();
    ::close(fd);
}

// The blocks of all files of the current unit, as far as its directory
// reads.
long FileBlocks() {
    long nBlocks = 0;
    try {
        OS8_CONTEXT context;
        InitContext(&context);
        std::string name;
        int nBlock = 0;
        int nLength = 0;
        while (FindFile(&context, "*.*", name, &nBlock, &nLength, nullptr, nullptr))
            nBlocks += nLength;
    } catch (const CommandAbort&) {
    }
    return nBlocks;
}

// Every host file in the private directory is one the target made, or one
// READ wrote into its destination folder.
void CheckHostFiles(const std::filesystem::path& sandbox) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox)) {
        if (entry.is_directory())
            continue;
        const std::string path = std::filesystem::relative(entry.path(), sandbox).string();
        bool fExpected = path == "fz.rx1" || path == "fz.rk5" || path == "fz.dev" || path == "new.tx";
        for (const char* pszUnit : {"rx01/", "unit0/", "unit1/", "other/"}) {
            const std::string unit = pszUnit;
            if (path == unit + "system.img" ||
                (path.rfind(unit + "a/b/c/", 0) == 0 && path.find('/', unit.size() + 6) == std::string::npos))
                fExpected = true;
        }
        if (!fExpected) {
            std::fprintf(stderr, "host file written outside its destination: %s\n", path.c_str());
            std::fflush(stderr);
            std::abort();
        }
    }
}

void ExerciseUnit(const std::string& folder) {
    std::filesystem::create_directories(folder + "/a/b/c");
    DoCommand("DIRECTORY");
    DoCommand("DIRECTORY /BRIEF");
    if (IsDiskMounted() && FileBlocks() <= MAX_DATA_BLOCKS) {
        DoCommand("TYPE *.*");
        DoCommand("READ *.* " + folder + "\\a\\b\\c\\ /IMAGE");
    }
    DoCommand("READ /SYSTEM " + folder + "\\system.img");
    DoCommand("DUMP 0 6");
    DoCommand("RENAME *.* *.RN");
    DoCommand("WRITE new.tx");
    DoCommand("DELETE *.*");
    DoCommand("DIRECTORY");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pbData, std::size_t cbSize) {
    const std::filesystem::path& sandbox = fuzzkit::EnterSandbox();
    SetProgramName("ORVA");
    SetTodayForTesting(8, 12, 2026);
    unsigned nFlags = cbSize > 0 ? pbData[0] : 0;
    std::string_view rx01 = fuzzkit::TakeBytes(&pbData, &cbSize, 1);
    rx01 = fuzzkit::TakeBytes(&pbData, &cbSize, PART_BYTES);
    std::string_view unit0 = fuzzkit::TakeBytes(&pbData, &cbSize, PART_BYTES);
    std::string_view unit1 = fuzzkit::TakeBytes(&pbData, &cbSize, PART_BYTES);
    std::string_view other = fuzzkit::TakeBytes(&pbData, &cbSize, PART_BYTES);
    const OtherDevice& device = OTHER_DEVICES[(nFlags >> 2) & 7];

    fuzzkit::WriteHostFile("new.tx", "A new file\nof two lines\n");
    WriteImage("fz.rx1", {{RX01_TRACK_BYTES, rx01}}, (nFlags & 1) != 0, RX01_IMAGE_BYTES);
    WriteImage("fz.rk5", {{0, unit0}, {RK05_UNIT_BYTES, unit1}}, (nFlags & 2) != 0, RK05_IMAGE_BYTES);
    WriteImage("fz.dev", {{device.lOffset, other}}, device.fAlwaysFull || (nFlags & 32) != 0,
               device.cbFull);

    DoCommand("MOUNT /RX01 fz.rx1");
    ExerciseUnit("rx01");
    DoCommand("MOUNT /RK05 fz.rk5");
    ExerciseUnit("unit0");
    DoCommand("PARTITION 1");
    ExerciseUnit("unit1");
    DoCommand(std::string("MOUNT ") + device.pszQualifier + " fz.dev");
    ExerciseUnit("other");
    DoCommand("DISMOUNT");
    CheckHostFiles(sandbox);
    fuzzkit::EndInput();
    return 0;
}
