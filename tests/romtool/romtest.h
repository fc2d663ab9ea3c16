// Test kit for vorlent: temporary folders, running the program, building
// BIN loader files, and reading a ROM listing back into ROM bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testfiles.h"

namespace romtest {

namespace fs = std::filesystem;

using testfiles::TempDir;

using testfiles::ReadFile;
using testfiles::WriteFile;

struct ProgramRun {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status, -1 when the program did not exit
};

// Runs `program` with `args` in the folder `dir`, standard input empty.
ProgramRun RunProgram(const fs::path& program, const fs::path& dir, const std::vector<std::string>& args);
// Runs vorlent.
ProgramRun RunVorlent(const fs::path& dir, const std::vector<std::string>& args);
// The full path of an executable found on PATH, or an empty path.
fs::path FindOnPath(const std::string& name);

// BIN loader frames.
std::string BinLeader(int nCount = 8);
std::string BinField(unsigned nField);
std::string BinOrigin(unsigned nAddress);
std::string BinData(unsigned wWord);
// A BIN file loading wWord at PDP-8 field 3 + nIndex / 4096, address
// nIndex % 4096 (that is code buffer index nIndex).
std::string BinWordAtIndex(unsigned nIndex, unsigned wWord);

// b with its bit order reversed, as the FPGA region holds it.
std::uint8_t ReverseBits(unsigned b);

// ROM bytes read back from a listing: the value of every ROM address
// 0..0x7FFFF, or -1 where the listing has no byte.
inline constexpr std::uint32_t ROM_SIZE = 0x80000;
inline constexpr std::uint32_t FPGA_START = 0x08000;
inline constexpr std::uint32_t RDI_START = 0x20000;
struct Rom {
    std::vector<int> abByte = std::vector<int>(ROM_SIZE, -1);
    // Number of ROM addresses that have a byte.
    std::size_t Count() const;
    // Count of the bytes present in [nStart, nStart + cb).
    std::size_t CountIn(std::uint32_t nStart, std::uint32_t cb) const;
};

// Parses a listing strictly: address headers in sequence (a gap only from a
// page boundary to a page boundary), eight "%03o " bytes to a CR LF line,
// and after every 256 bytes a "%04o" CR LF line that must equal the page's
// byte sum modulo 4096. Returns an empty text when the listing is sound,
// else what is wrong with it.
std::string DecodeListing(const std::string& text, Rom& rom);

// The PDP-8 words of the ROM fields of the code region (2688 per field),
// unpacked from three bytes per pair, for as many fields as the ROM holds.
// Fails the current test when a field is incomplete or its last 64 bytes
// are not zero.
std::vector<std::uint16_t> DecodeCodeRegion(const Rom& rom);

// What a run of vorlent on given inputs produced.
struct BuiltRom {
    ProgramRun run;
    std::string listing;  // the output file
    Rom rom;              // the output file read back
};
using Input = std::optional<std::string>;
// Runs vorlent in a temporary folder on the inputs with these contents
// (nullopt for "-") and reads the listing back, which must be sound.
BuiltRom BuildRom(const Input& bin, const Input& bit, const Input& rdi);

}  // namespace romtest
