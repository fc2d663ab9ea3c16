// Temporary directories and whole-file reads and writes, shared by the test
// programs of every module.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

// Leaves a test whose fixture (real media in ORVA_FIXTURES_DIR) is missing:
// it is skipped, or it fails in a build that requires the fixtures, as CI's
// does where the folder exists.
#if ORVA_REQUIRE_FIXTURES
#define LEAVE_WITHOUT_FIXTURE(what) FAIL() << "fixture missing: " << (what)
#else
#define LEAVE_WITHOUT_FIXTURE(what) GTEST_SKIP() << "fixture missing: " << (what)
#endif

namespace testfiles {

namespace fs = std::filesystem;

// A fresh temporary directory, removed with everything in it on destruction.
class TempDir {
public:
    TempDir() {
        // A new name until one is free: create_directory is false for a
        // name that exists, so no other directory is ever taken over.
        static std::mt19937_64 random{std::random_device{}()};
        for (int nTry = 0; nTry < 100; ++nTry) {
            fs::path candidate = fs::temp_directory_path() / ("orva-test-" + std::to_string(random() % 1000000000));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary directory");
    }
    ~TempDir() {
        std::error_code ec;
        // Read-only files and folders made by a test must not stop the cleanup.
        for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// A device that takes no byte: every write to it fails as on a full disk
// (ENOSPC), after an open that works. Windows has none of its own; under
// wine, drive Z: is the root of the host that runs it, and with it the
// host's device. Tests that need it skip where it is missing.
#ifdef _WIN32
inline const fs::path kFullDevice = "Z:/dev/full";
#else
inline const fs::path kFullDevice = "/dev/full";
#endif

// Whether kFullDevice is there. It is opened rather than looked up: the
// file system library of Windows does not see a device through wine.
inline bool HaveFullDevice() {
    std::FILE* pFile = std::fopen(kFullDevice.string().c_str(), "wb");
    if (pFile == nullptr)
        return false;
    std::fclose(pFile);
    return true;
}

// The line end of host text files: Windows writes text streams with CR LF.
#ifdef _WIN32
inline const std::string kHostLineEnd = "\r\n";
#else
inline const std::string kHostLineEnd = "\n";
#endif

// A text with "\n" line ends, each of them made `lineEnd`.
inline std::string WithLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string host;
    for (char c : text) {
        if (c == '\n')
            host += lineEnd;
        else
            host += c;
    }
    return host;
}

// A text with "\n" line ends as a host text stream stores it.
inline std::string HostText(const std::string& text) { return WithLineEnds(text, kHostLineEnd); }

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace testfiles
