// vorlent: builds the octal ROM download file from a PDP-8 BIN loader file
// (the firmware), an FPGA bitstream and a RAM-disk image.
//
// The ROM output is one module-level state: the output stream, the ROM
// address of the next byte (nRomAddress) and the running checksum of the
// current 256-byte page (wPageChecksum). The region writers return an exit
// status: 0 means go on, anything else ends the program with that status.
#pragma once

#include <cstdint>
#include <cstdio>

// ROM layout: each input has a fixed region of the ROM byte addresses.
inline constexpr std::uint32_t ROM_CODE_START = 0x00000;
inline constexpr std::uint32_t ROM_CODE_WORDS = 0x5400;   // word limit of the code region
inline constexpr std::uint32_t ROM_FPGA_START = 0x08000;
inline constexpr std::uint32_t ROM_FPGA_BYTES = 0x18000;  // byte limit of the FPGA region
inline constexpr std::uint32_t ROM_RDI_START = 0x20000;
inline constexpr std::uint32_t ROM_RDI_BYTES = 0x60000;   // byte limit of the RAM-disk region

inline constexpr std::uint32_t ROM_PAGE_BYTES = 256;       // bytes between checksum lines
inline constexpr std::uint32_t ROM_LINE_BYTES = 8;         // bytes on one listing line
inline constexpr std::uint32_t ROM_FIELD_BYTES = 4096;     // one ROM field
inline constexpr std::uint32_t ROM_FIELD_WORDS = 2688;     // PDP-8 words packed into a ROM field
inline constexpr std::uint32_t ROM_CODE_BASE = 030000;     // PDP-8 address of code buffer index 0
inline constexpr std::uint32_t ROM_CHECKSUM_INDEX = 0200;  // code buffer index of the checksum word

inline constexpr std::uint32_t ROM_FPGA_CHUNK = 0x8000;    // bitstream read size
inline constexpr std::uint32_t ROM_RDI_CHUNK = 4096;       // RAM-disk image read size

// Exit statuses.
inline constexpr int ROM_STATUS_OK = 0;
inline constexpr int ROM_STATUS_USAGE = 1;         // also: no memory for a read buffer
inline constexpr int ROM_STATUS_NO_CODE_FILE = 2;
inline constexpr int ROM_STATUS_NO_CODE_DATA = 2;  // the BIN file loads no data word
inline constexpr int ROM_STATUS_NO_FPGA_FILE = 3;
inline constexpr int ROM_STATUS_NO_RDI_FILE = 4;
inline constexpr int ROM_STATUS_OUTPUT = 5;        // output not opened or not written
inline constexpr int ROM_STATUS_BIN_TOO_BIG = 5;
inline constexpr int ROM_STATUS_BIT_TOO_BIG = 6;
inline constexpr int ROM_STATUS_BIN_BELOW_FIELD3 = 7;

// Directs the ROM listing to hOutput (the caller keeps ownership) and starts
// at ROM address 0 with a page checksum of 0.
void BeginRomOutput(std::FILE* hOutput);
// Moves the ROM address to the start of a region (at a page boundary, where
// the page checksum is 0).
void SetRomAddress(std::uint32_t nAddress);
std::uint32_t GetRomAddress();

// Writes one ROM byte in the listing format (address header at every
// 8-byte boundary, CR LF after every 8 bytes, checksum line after every
// 256 bytes) and advances the ROM address.
void EmitByte(std::uint8_t b);
// Writes zero bytes up to the next multiple of 256 of the ROM address.
void PadToPage();

// Loads a whole BIN file into the code word buffer, sets the checksum word
// of the first ROM field and writes the ROM fields up to the one holding
// the highest word loaded. Nothing is written when the file is refused,
// also when it loads no data word (ROM_STATUS_NO_CODE_DATA).
int WriteCodeRegion(std::FILE* hBin, std::uint32_t nWordLimit);
// Writes the bitstream with each byte's bit order reversed.
int WriteFpgaRegion(std::FILE* hBit, std::uint32_t nByteLimit);
// Writes the RAM-disk image without its trailing all-zero 4096-byte chunks,
// cut at nByteLimit bytes.
int WriteRamDiskRegion(std::FILE* hRdi, std::uint32_t nByteLimit);

// The whole program: returns the exit status.
int VorlentMain(int argc, char** argv);
