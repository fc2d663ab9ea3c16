// Console plumbing for the shell's unit tests: standard input fed from a
// text, standard error captured into a string.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "portable.h"

namespace shelltest {

// Makes `text` the whole of standard input (end of input after it). The
// temporary file is removed once stdin no longer has it open (Windows
// refuses to remove an open file): when the next text is fed, or at exit.
inline void FeedStdin(const std::string& text) {
    static std::string s_fedPath;
    static bool s_fCleanupSet = false;
    if (!s_fCleanupSet) {
        s_fCleanupSet = true;
        std::atexit([] {
            if (!s_fedPath.empty()) {
                std::fclose(stdin);
                std::remove(s_fedPath.c_str());
            }
        });
    }
    std::string path = (std::filesystem::temp_directory_path() / "orva-shell-stdin-XXXXXX").string();
    std::FILE* pFile = nullptr;
    for (int nTry = 0; nTry < 100 && pFile == nullptr; ++nTry) {
        path.replace(path.size() - 6, 6, std::to_string(100000 + std::rand() % 900000));
        if (!std::filesystem::exists(path))
            pFile = std::fopen(path.c_str(), "wb");
    }
    if (pFile == nullptr)
        throw std::runtime_error("cannot create a temporary file");
    bool fWritten = std::fwrite(text.data(), 1, text.size(), pFile) == text.size();
    fWritten = std::fclose(pFile) == 0 && fWritten;
    bool fOpened = std::freopen(path.c_str(), "r", stdin) != nullptr;
    if (!s_fedPath.empty())
        std::remove(s_fedPath.c_str());
    s_fedPath = path;
    if (std::remove(path.c_str()) == 0)
        s_fedPath.clear();
    if (!fWritten || !fOpened)
        throw std::runtime_error("cannot feed standard input");
}

// Sends standard error (descriptor 2) to a temporary file until Take().
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        file_ = std::tmpfile();
        saved_ = dup(2);
        if (file_ == nullptr || saved_ < 0 || dup2(fileno(file_), 2) < 0)
            throw std::runtime_error("cannot capture standard error");
    }
    ~StderrCapture() {
        Restore();
        if (file_)
            std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written since construction; stops the capture.
    std::string Take() {
        Restore();
        std::string text;
        std::rewind(file_);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
            text.append(buffer, n);
        return text;
    }

private:
    void Restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
    }
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

}  // namespace shelltest
