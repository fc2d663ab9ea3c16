// Console plumbing for the shell's unit tests: standard input fed from a
// text, standard error captured into a string.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace shelltest {

// Makes `text` the whole of standard input (end of input after it). The
// temporary file is unlinked at once; it lives while stdin has it open.
inline void FeedStdin(const std::string& text) {
    char path[] = "/tmp/orva-shell-stdin-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file");
    bool fWritten = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    bool fOpened = std::freopen(path, "r", stdin) != nullptr;
    unlink(path);
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
