// Runs a fuzz target once on every input named on the command line: a file,
// or a directory whose regular files are taken in name order. Used where the
// target is not built for libFuzzer, so that the kept inputs run with the
// ordinary tests. Fails when no input was found.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pbData, std::size_t cbSize);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    // Collected first: the target changes the working directory.
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        fs::path path = fs::absolute(argv[i]);
        if (fs::is_directory(path)) {
            std::vector<fs::path> files;
            for (const fs::directory_entry& entry : fs::directory_iterator(path))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else {
            inputs.push_back(path);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stdout, "no inputs found\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stdout, "cannot read %s\n", input.c_str());
            return 1;
        }
        std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::fprintf(stdout, "running %s (%zu bytes)\n", input.c_str(), data.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    }
    std::fprintf(stdout, "%zu inputs ran\n", inputs.size());
    return 0;
}
