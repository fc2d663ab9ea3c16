// Host path splitting and the host wildcard search.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console.h"
#include "shell.h"
#include "testfiles.h"

namespace {

namespace fs = std::filesystem;
using shelltest::StderrCapture;

TEST(SplitHostPath, SplitsDriveDirectoryNameAndExtension) {
    struct Case {
        const char* path;
        const char* directory;
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\TMP\\SUB\\NAME.TAR.GZ", "C:\\TMP\\SUB\\", "NAME.TAR", ".GZ"},
        {"FOO.PA", "", "FOO", ".PA"},
        {"README", "", "README", ""},
        {"dir/name.txt", "dir/", "name", ".txt"},
        {"a\\b/c.d", "a\\b/", "c", ".d"},
        {"a/b\\c.d", "a/b\\", "c", ".d"},
        {"C:x.y", "C:", "x", ".y"},
        {"C:\\", "C:\\", "", ""},
        {"dir.d\\file", "dir.d\\", "file", ""},
        {"file.", "", "file", "."},
        {".hidden", "", "", ".hidden"},
        {"sub\\", "sub\\", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string directory = "x", name = "x", extension = "x";
        SplitHostPath(c.path, directory, name, extension);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(extension, c.extension);
    }
}

TEST(HostPath, TurnsBackslashesIntoSlashes) {
    EXPECT_EQ(HostPath("a\\b/c\\d.e"), "a/b/c/d.e");
    EXPECT_EQ(HostPath(""), "");
}

// Sets or (with nullptr) removes HOME; Windows has _putenv_s, where an
// empty value removes the variable.
void SetHome(const char* pszHome) {
#ifdef _WIN32
    _putenv_s("HOME", pszHome ? pszHome : "");
#else
    if (pszHome)
        setenv("HOME", pszHome, 1);
    else
        unsetenv("HOME");
#endif
}

// Sets HOME for one test and puts the old value back.
class HomeSetting {
public:
    explicit HomeSetting(const char* pszHome) {
        if (const char* pszOld = std::getenv("HOME"))
            old_ = pszOld, fHad_ = true;
        SetHome(pszHome);
    }
    ~HomeSetting() {
        SetHome(fHad_ ? old_.c_str() : nullptr);
    }
    HomeSetting(const HomeSetting&) = delete;
    HomeSetting& operator=(const HomeSetting&) = delete;

private:
    std::string old_;
    bool fHad_ = false;
};

TEST(HostPath, TakesQuotedPathsVerbatimAndTildeFromHome) {
    HomeSetting home("/home/me");
    const std::pair<const char*, const char*> cases[] = {
        {"\"/tmp/my disks/a\\b.rk05\"", "/tmp/my disks/a\\b.rk05"},
        {"\"say \"\"hi\"\".txt\"", "say \"hi\".txt"},
        {"\"dir/\"A.TX", "dir/A.TX"},
        {"~/os8.rk05", "/home/me/os8.rk05"},
        {"~\\os8.rk05", "/home/me/os8.rk05"},
        {"\"~/my disks/x\"", "/home/me/my disks/x"},
        {"~", "~"},
        {"~other/x", "~other/x"},
        {"a/~/x", "a/~/x"},
    };
    for (const auto& [path, host] : cases)
        EXPECT_EQ(HostPath(path), host) << path;
}

TEST(HostPath, LeavesTildeAloneWithoutHome) {
    HomeSetting noHome(nullptr);
    EXPECT_EQ(HostPath("~/x"), "~/x");
}

// A temporary folder of files with mixed case, a file without a dot, and a
// subdirectory whose name matches the patterns too.
class FindHostFileTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = dir.path();
        for (const char* name : {"a.txt", "B.TXT", "c.Txt", "ab.txt", "README", "data.bin"})
            std::ofstream(root_ / name) << "x";
        fs::create_directory(root_ / "my dir,2");
        std::ofstream(root_ / "my dir,2" / "x y.dat") << "x";
        fs::create_directory(root_ / "sub.txt");
        std::ofstream(root_ / "sub.txt" / "inner.txt") << "x";
        std::ofstream(root_ / "sub.txt" / "Other.DAT") << "x";
        dir_ = root_.string() + "/";
    }

    // Every path the search gives for the pattern, and nothing printed.
    static std::vector<std::string> FindAll(const std::string& pattern) {
        std::vector<std::string> paths;
        StderrCapture capture;
        std::string path;
        for (bool fFirst = true; FindHostFile(fFirst, pattern, path); fFirst = false)
            paths.push_back(path);
        EXPECT_EQ(capture.Take(), "");
        return paths;
    }

    testfiles::TempDir dir;
    fs::path root_;
    std::string dir_;  // the folder with a trailing slash
};

TEST_F(FindHostFileTest, MatchesNamesLikeTheWindowsHost) {
    using Paths = std::vector<std::string>;
    const Paths kAllFiles = {dir_ + "B.TXT", dir_ + "README", dir_ + "a.txt",
                             dir_ + "ab.txt", dir_ + "c.Txt", dir_ + "data.bin"};
    struct Case {
        std::string pattern;
        Paths paths;  // sorted by name; directories never appear
    };
    const Case cases[] = {
        {dir_ + "*.*", kAllFiles},
        {dir_ + "*", kAllFiles},
        {dir_ + "*.TXT", {dir_ + "B.TXT", dir_ + "a.txt", dir_ + "ab.txt", dir_ + "c.Txt"}},
        {dir_ + "?.txt", {dir_ + "B.TXT", dir_ + "a.txt", dir_ + "c.Txt"}},
        {dir_ + "A*", {dir_ + "a.txt", dir_ + "ab.txt"}},
        {dir_ + "*a*.*", {dir_ + "a.txt", dir_ + "ab.txt", dir_ + "data.bin"}},
        {dir_ + "readme", {dir_ + "README"}},
        {dir_ + "a.txt", {dir_ + "a.txt"}},
        {dir_ + "*.t?t", {dir_ + "B.TXT", dir_ + "a.txt", dir_ + "ab.txt", dir_ + "c.Txt"}},
        // The directory part is given back exactly as typed, with either separator.
        {dir_ + "sub.txt\\*.*", {dir_ + "sub.txt\\Other.DAT", dir_ + "sub.txt\\inner.txt"}},
        {dir_ + "sub.txt/inner.*", {dir_ + "sub.txt/inner.txt"}},
        {dir_ + "./sub.txt\\..\\?.TXT", {dir_ + "./sub.txt\\..\\B.TXT", dir_ + "./sub.txt\\..\\a.txt",
                                         dir_ + "./sub.txt\\..\\c.Txt"}},
        // A quoted pattern: blanks and commas in the folder name, and the
        // paths come back quoted.
        {"\"" + dir_ + "my dir,2/*.dat\"", {"\"" + dir_ + "my dir,2/x y.dat\""}},
        // Nothing matches: false, and no message.
        {dir_ + "*.XYZ", {}},
        {dir_ + "sub.txt", {}},
        {dir_ + "?", {}},
        {dir_ + "nosuch\\*.*", {}},
        {dir_, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FindAll(c.pattern), c.paths);
    }
}

TEST_F(FindHostFileTest, SearchesTheCurrentDirectoryWithoutADirectoryPart) {
    fs::path previous = fs::current_path();
    fs::current_path(root_);
    std::vector<std::string> paths = FindAll("*.txt");
    std::vector<std::string> bins = FindAll("*.bin");
    fs::current_path(previous);
    EXPECT_EQ(paths, (std::vector<std::string>{"B.TXT", "a.txt", "ab.txt", "c.Txt"}));
    EXPECT_EQ(bins, (std::vector<std::string>{"data.bin"}));
}

TEST_F(FindHostFileTest, StartsAfreshAndStopsAtTheEnd) {
    std::string path;
    // An abandoned search is replaced by the next first call.
    ASSERT_TRUE(FindHostFile(true, dir_ + "*.txt", path));
    EXPECT_EQ(path, dir_ + "B.TXT");
    ASSERT_TRUE(FindHostFile(true, dir_ + "*.bin", path));
    EXPECT_EQ(path, dir_ + "data.bin");
    EXPECT_FALSE(FindHostFile(false, dir_ + "*.bin", path));
    // Once the entries have run out, further calls find nothing.
    EXPECT_FALSE(FindHostFile(false, dir_ + "*.bin", path));
}

}  // namespace
