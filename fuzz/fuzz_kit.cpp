#include "fuzz_kit.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fuzzkit {
namespace {

namespace fs = std::filesystem;

fs::path g_sandbox;

void RemoveSandbox() {
    if (g_sandbox.empty())
        return;
    std::error_code error;
    fs::current_path(g_sandbox.parent_path(), error);
    fs::remove_all(g_sandbox, error);
}

[[noreturn]] void Fail(const char* pszWhat) {
    std::perror(pszWhat);
    std::abort();
}

}  // namespace

const fs::path& EnterSandbox() {
    if (g_sandbox.empty()) {
        std::string pattern = (fs::temp_directory_path() / "orva-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            Fail("mkdtemp");
        g_sandbox = fs::canonical(pattern);
        std::atexit(RemoveSandbox);
        if (::chdir(g_sandbox.c_str()) != 0)
            Fail("chdir");
        int fd = ::open("/dev/null", O_RDONLY);
        if (fd < 0 || ::dup2(fd, STDIN_FILENO) < 0)
            Fail("/dev/null");
        ::close(fd);
        std::clearerr(stdin);
        // The commands print a great deal; one write per input is enough.
        static char buffer[1 << 16];
        std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
        return g_sandbox;
    }
    // Nothing a command does may move the working directory.
    std::error_code error;
    if (fs::current_path(error) != g_sandbox)
        Fail("working directory moved");
    for (const fs::directory_entry& entry : fs::directory_iterator(g_sandbox))
        fs::remove_all(entry.path());
    std::clearerr(stdin);
    return g_sandbox;
}

void WriteHostFile(const fs::path& name, std::string_view data) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!file)
        Fail(name.c_str());
}

void EndInput() { std::fflush(stderr); }

std::string_view TakeBytes(const std::uint8_t** ppData, std::size_t* pcbSize, std::size_t cbMax) {
    std::size_t cb = *pcbSize < cbMax ? *pcbSize : cbMax;
    std::string_view part(reinterpret_cast<const char*>(*ppData), cb);
    *ppData += cb;
    *pcbSize -= cb;
    return part;
}

}  // namespace fuzzkit
