// Shared tools of the disk module's tests: a temporary directory, raw access
// to image files, and the byte forms the devices store, written out here from
// the device descriptions so that the module is checked against them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <filesystem>
#include <string>
#include <vector>

#include "disk.h"
#include "testfiles.h"
#include "shell.h"

namespace disktest {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

using testfiles::TempDir;

Bytes ReadFileBytes(const fs::path& file);
void WriteFileBytes(const fs::path& file, const Bytes& bytes);
// Puts bytes at lOffset of an existing file (extending it if needed).
void PatchFile(const fs::path& file, std::uint64_t lOffset, const Bytes& bytes);
// A file of cb bytes, all zero (sparse).
void MakeZeroFile(const fs::path& file, std::uint64_t cb);

// Words that tell every position apart, 12 bits each.
Words PatternWords(unsigned nSeed);

// The stored form of a run of words: RX01 and RX02 (two words in three bytes,
// high bits first), NB03 (two words in three bytes, low bytes first) and
// 16-bit little-endian for RX50, HE02, RK05 and TU56.
Bytes EncodeRX01(const std::uint16_t* pw, unsigned nWords);
Bytes EncodeNB03(const std::uint16_t* pw, unsigned nWords);
Bytes EncodeLE(const std::uint16_t* pw, unsigned nWords);

// Every test starts and ends with nothing mounted and no fault pending.
class DiskTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TempDir dir_;
};

// ---- Definitions ----

inline Bytes ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const fs::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void PatchFile(const fs::path& file, std::uint64_t lOffset, const Bytes& bytes) {
    std::fstream io(file, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(static_cast<std::streamoff>(lOffset));
    io.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

inline void MakeZeroFile(const fs::path& file, std::uint64_t cb) {
    WriteFileBytes(file, {});
    fs::resize_file(file, cb);
}

inline Words PatternWords(unsigned nSeed) {
    Words words(DISK_BLOCK_WORDS);
    for (unsigned i = 0; i < DISK_BLOCK_WORDS; ++i)
        words[i] = static_cast<std::uint16_t>((i * 0x9E5u + nSeed * 0x2B1u + 0x5A5u) & 0xFFF);
    return words;
}

inline Bytes EncodeRX01(const std::uint16_t* pw, unsigned nWords) {
    Bytes bytes;
    for (unsigned i = 0; i + 1 < nWords; i += 2) {
        unsigned a = pw[i] & 0xFFF, b = pw[i + 1] & 0xFFF;
        bytes.push_back(static_cast<std::uint8_t>(a >> 4));
        bytes.push_back(static_cast<std::uint8_t>(((a & 0xF) << 4) | (b >> 8)));
        bytes.push_back(static_cast<std::uint8_t>(b & 0xFF));
    }
    return bytes;
}

inline Bytes EncodeNB03(const std::uint16_t* pw, unsigned nWords) {
    Bytes bytes;
    for (unsigned i = 0; i + 1 < nWords; i += 2) {
        unsigned a = pw[i] & 0xFFF, b = pw[i + 1] & 0xFFF;
        bytes.push_back(static_cast<std::uint8_t>(a & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(b & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(((b >> 8) << 4) | (a >> 8)));
    }
    return bytes;
}

inline Bytes EncodeLE(const std::uint16_t* pw, unsigned nWords) {
    Bytes bytes;
    for (unsigned i = 0; i < nWords; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(pw[i] & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(pw[i] >> 8));
    }
    return bytes;
}

inline void DiskTest::SetUp() {
    SetProgramName("ORVA");
    SetBlockTransferFault(0);
    if (IsDiskMounted())
        CloseDisk();
}

inline void DiskTest::TearDown() {
    SetBlockTransferFault(0);
    if (IsDiskMounted())
        CloseDisk();
}

}  // namespace disktest
