// Shared tools of the OS8 module tests: temporary images, fixture copies,
// directory listings and captured messages.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disk.h"
#include "testfiles.h"
#include "os8.h"
#include "shell.h"

namespace os8test {

namespace fs = std::filesystem;

using testfiles::TempDir;

// A new all-zero image of the given type, mounted for the lifetime of the
// object and dismounted afterwards.
class TempDisk {
public:
    explicit TempDisk(DiskType type) {
        if (IsDiskMounted())
            CloseDisk();
        path_ = dir_ / "disk.img";
        EXPECT_TRUE(CreateDisk(true, type, path_.string()));
    }
    ~TempDisk() {
        if (IsDiskMounted())
            CloseDisk();
    }
    TempDisk(const TempDisk&) = delete;
    TempDisk& operator=(const TempDisk&) = delete;
    const fs::path& path() const { return path_; }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    fs::path path_;
};

inline fs::path FixturesDir() { return fs::path(ORVA_FIXTURES_DIR); }

inline bool HaveFixture(const std::string& name) { return fs::exists(FixturesDir() / name); }

inline std::string ReadText(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream content;
    content << stream.rdbuf();
    return content.str();
}

inline void WriteText(const fs::path& file, const std::string& content) {
    std::ofstream stream(file, std::ios::binary);
    stream << content;
}

// A writable copy of a fixture image, mounted for the lifetime of the object.
class FixtureDisk {
public:
    FixtureDisk(const std::string& name, DiskType type) {
        if (IsDiskMounted())
            CloseDisk();
        path_ = dir_ / name;
        fs::copy_file(FixturesDir() / name, path_);
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_TRUE(OpenDisk(true, false, type, path_.string()));
    }
    ~FixtureDisk() {
        if (IsDiskMounted())
            CloseDisk();
    }
    FixtureDisk(const FixtureDisk&) = delete;
    FixtureDisk& operator=(const FixtureDisk&) = delete;
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    fs::path path_;
};

// One directory entry as NextEntry reports it.
struct Entry {
    std::string name;  // empty for a free area
    int nBlock;
    int nLength;
    std::uint16_t wDate;
    bool fTentative;
    unsigned nSegment;  // block of the segment holding it
};

// Every entry of the directory, in order; the scan's damage checks run on
// the way (a damaged directory throws CommandAbort).
inline std::vector<Entry> ListDirectory() {
    std::vector<Entry> entries;
    OS8_CONTEXT context;
    InitContext(&context);
    Entry entry{};
    while (NextEntry(&context, &entry.name, &entry.nBlock, &entry.nLength, &entry.wDate,
                     &entry.fTentative)) {
        entry.nSegment = context.nSegmentLBN;
        entries.push_back(entry);
    }
    return entries;
}

// The listing form of the fixtures: "NAME.EX  length  start  date".
inline std::string ListingLine(const Entry& entry) {
    char line[64];
    std::snprintf(line, sizeof line, "%-9s%5d %04o %04o",
                  entry.name.empty() ? "<empty>" : entry.name.c_str(), entry.nLength,
                  static_cast<unsigned>(entry.nBlock), entry.wDate);
    return line;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

inline BlockWords ReadWords(unsigned nBlock) {
    BlockWords awData{};
    ReadBlock(nBlock, awData.data());
    return awData;
}

inline void WriteWords(unsigned nBlock, const BlockWords& awData) { WriteBlock(nBlock, awData.data()); }

// Free blocks of the directory, added up.
inline int FreeBlocks() {
    int nFree = 0;
    for (const Entry& entry : ListDirectory())
        if (entry.name.empty())
            nFree += entry.nLength;
    return nFree;
}

// Creates a file through the tentative-file protocol with nLength blocks
// taken from the room (the data blocks are not written). False when the room
// is too small.
inline bool AddFile(const std::string& name, int nLength, std::uint16_t wDate = 06100,
                    int* pnBlock = nullptr) {
    OS8_CONTEXT context;
    int nBlock = 0;
    int nRoom = 0;
    CreateTentativeFile(&context, name, wDate, &nBlock, &nRoom);
    if (nRoom < nLength || nRoom == 0) {
        if (nRoom > 0)
            CloseTentativeFile(&context, 0);
        return false;
    }
    CloseTentativeFile(&context, nLength);
    if (pnBlock != nullptr)
        *pnBlock = nBlock;
    return true;
}

// Deletes the first file matching the name; false when there is none.
inline bool RemoveFile(const std::string& name) {
    OS8_CONTEXT context;
    InitContext(&context);
    std::string found;
    if (!FindFile(&context, name, found, nullptr, nullptr, nullptr, nullptr))
        return false;
    DeleteEntry(&context);
    return true;
}

// Runs f and returns what it printed on standard error; sets *pfAborted
// when it abandoned the command.
template <typename F>
std::string CaptureMessages(F&& f, bool* pfAborted = nullptr) {
    bool fAborted = false;
    testing::internal::CaptureStderr();
    try {
        f();
    } catch (const CommandAbort&) {
        fAborted = true;
    }
    std::string text = testing::internal::GetCapturedStderr();
    if (pfAborted != nullptr)
        *pfAborted = fAborted;
    return text;
}

}  // namespace os8test
