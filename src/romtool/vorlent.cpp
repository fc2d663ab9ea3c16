// The vorlent program: opens the inputs named on the command line, creates
// the output and writes the code, FPGA and RAM-disk regions in that order.
#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "portable.h"
#include "romtool.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* hFile) const { std::fclose(hFile); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The output is written through a buffer of this size.
constexpr std::size_t ROM_OUTPUT_BUFFER = 1 << 16;

// Host paths accept '\' as well as '/' as the directory separator.
std::string HostPath(const char* pszName) {
    std::string path(pszName);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Opens an input for reading; "-" means no input. A folder is no input
// file: it cannot be read as one.
bool OpenInput(const char* pszName, FileHandle& hFile) {
    hFile.reset();
    if (std::string(pszName) == "-")
        return true;
    hFile.reset(std::fopen(HostPath(pszName).c_str(), "rb"));
    HostFileInfo info;
    if (hFile && HostFileStatus(fileno(hFile.get()), &info) && info.fDirectory)
        hFile.reset();
    return hFile != nullptr;
}

// True when the output path names the same file as an open input, by what
// the file is (its host identity), not by how it is spelled: creating the
// output would empty that input before it is read.
bool IsAlsoInput(const char* pszOutput, std::initializer_list<std::FILE*> inputs) {
    HostFileId output;
    if (!HostFileIdOf(HostPath(pszOutput).c_str(), &output))
        return false;
    for (std::FILE* hInput : inputs) {
        HostFileId input;
        if (hInput != nullptr && HostFileIdOf(fileno(hInput), &input) && IsSameHostFileId(input, output))
            return true;
    }
    return false;
}

// Writes the regions of the inputs that are present; returns the status.
int WriteRegions(std::FILE* hCode, std::FILE* hFpga, std::FILE* hRdi) {
    if (hCode) {
        SetRomAddress(ROM_CODE_START);
        if (const int nStatus = WriteCodeRegion(hCode, ROM_CODE_WORDS); nStatus != ROM_STATUS_OK)
            return nStatus;
        PadToPage();
    }
    if (hFpga) {
        SetRomAddress(ROM_FPGA_START);
        if (const int nStatus = WriteFpgaRegion(hFpga, ROM_FPGA_BYTES); nStatus != ROM_STATUS_OK)
            return nStatus;
        PadToPage();
    }
    if (hRdi) {
        SetRomAddress(ROM_RDI_START);
        if (const int nStatus = WriteRamDiskRegion(hRdi, ROM_RDI_BYTES); nStatus != ROM_STATUS_OK)
            return nStatus;
        PadToPage();
    }
    return ROM_STATUS_OK;
}

void PrintUsage() {
    std::fputs("usage: VORLENT <code file name> <FPGA file name> <RDI file name> <output name>\r\n", stderr);
    std::fputs("  replace file name with '-' to omit\r\n", stderr);
}

// -h (--help) shows the usage on standard output and -V (--version) the
// version, both with status 0; an unknown option is a usage error. False
// when the program is to end with *pnStatus. A lone "-" is no option: it
// leaves an input out.
bool ReadOptions(int argc, char** argv, int* pnStatus) {
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    optind = 1;
    opterr = 0;  // the usage says it all
    int nOption;
    while ((nOption = getopt_long(argc, argv, "+hV", kOptions, nullptr)) != -1) {
        switch (nOption) {
        case 'h':
            std::fputs(
                "Usage: vorlent [OPTION]... CODE FPGA RDI OUTPUT\n"
                "Build the octal ROM download file OUTPUT from a PDP-8 BIN file (CODE), an\n"
                "FPGA bitstream (FPGA) and a RAM-disk image (RDI); give - for an input to\n"
                "leave it out.\n"
                "\n"
                "  -h, --help     show this help and end\n"
                "  -V, --version  show the version and end\n",
                stdout);
            *pnStatus = ROM_STATUS_OK;
            return false;
        case 'V':
            std::printf("vorlent %s\n", VORLENT_VERSION);
            *pnStatus = ROM_STATUS_OK;
            return false;
        default:
            PrintUsage();
            *pnStatus = ROM_STATUS_USAGE;
            return false;
        }
    }
    return true;
}

}  // namespace

int VorlentMain(int argc, char** argv) {
    int nStatus = ROM_STATUS_OK;
    if (!ReadOptions(argc, argv, &nStatus))
        return nStatus;
    if (argc - optind != 4) {
        PrintUsage();
        return ROM_STATUS_USAGE;
    }
    const char* pszCode = argv[optind];
    const char* pszFpga = argv[optind + 1];
    const char* pszRdi = argv[optind + 2];
    const char* pszOutput = argv[optind + 3];

    FileHandle hCode, hFpga, hRdi;
    if (!OpenInput(pszCode, hCode)) {
        std::fprintf(stderr, "fatal: code binfile %s not found\r\n", pszCode);
        return ROM_STATUS_NO_CODE_FILE;
    }
    if (!OpenInput(pszFpga, hFpga)) {
        std::fprintf(stderr, "fatal: FPGA bitfile %s not found\r\n", pszFpga);
        return ROM_STATUS_NO_FPGA_FILE;
    }
    if (!OpenInput(pszRdi, hRdi)) {
        std::fprintf(stderr, "fatal: RDI file %s not found\r\n", pszRdi);
        return ROM_STATUS_NO_RDI_FILE;
    }
    if (IsAlsoInput(pszOutput, {hCode.get(), hFpga.get(), hRdi.get()})) {
        std::fprintf(stderr, "fatal: output file %s is also an input\r\n", pszOutput);
        return ROM_STATUS_OUTPUT;
    }
    // Binary mode: the CR LF line ends are written as they stand.
    FileHandle hOutput(std::fopen(HostPath(pszOutput).c_str(), "wb"));
    if (!hOutput) {
        std::fprintf(stderr, "fatal: output file %s not opened\r\n", pszOutput);
        return ROM_STATUS_OUTPUT;
    }
    std::setvbuf(hOutput.get(), nullptr, _IOFBF, ROM_OUTPUT_BUFFER);

    BeginRomOutput(hOutput.get());
    nStatus = WriteRegions(hCode.get(), hFpga.get(), hRdi.get());
    BeginRomOutput(nullptr);
    if (nStatus == ROM_STATUS_NO_CODE_DATA && hCode)
        std::fprintf(stderr, "fatal: code binfile %s holds no data\r\n", pszCode);

    // A listing cut short by a full disk must not pass for a complete one.
    const bool fWritten = std::fflush(hOutput.get()) == 0 && !std::ferror(hOutput.get());
    const bool fClosed = std::fclose(hOutput.release()) == 0;
    if ((!fWritten || !fClosed) && nStatus == ROM_STATUS_OK) {
        std::fprintf(stderr, "fatal: output file %s not written\r\n", pszOutput);
        nStatus = ROM_STATUS_OUTPUT;
    }
    std::fflush(stdout);
    return nStatus;
}
