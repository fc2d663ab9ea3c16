// Temporary directories and whole-file reads and writes, shared by the test
// programs of every module.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
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
        std::string pattern = (fs::temp_directory_path() / "orva-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary directory");
        path_ = pattern;
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
