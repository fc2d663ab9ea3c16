// Fuzz target: vorlent on arbitrary inputs. An input is a flags byte, two
// 16-bit little-endian lengths, and then the BIN file (first length), the
// bitstream (second length) and the RAM-disk image (the rest). Flag bits
// 0, 1 and 2 leave out the BIN file, the bitstream and the RAM-disk image
// ("-" on the command line). The listing goes to /dev/null.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_kit.h"
#include "romtool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pbData, std::size_t cbSize) {
    fuzzkit::EnterSandbox();
    std::string_view header = fuzzkit::TakeBytes(&pbData, &cbSize, 5);
    if (header.size() < 5)
        return 0;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(header[i]); };
    unsigned nFlags = byte(0);
    std::size_t cbBin = byte(1) | (byte(2) << 8);
    std::size_t cbBit = byte(3) | (byte(4) << 8);
    std::string_view bin = fuzzkit::TakeBytes(&pbData, &cbSize, cbBin);
    std::string_view bit = fuzzkit::TakeBytes(&pbData, &cbSize, cbBit);
    std::string_view rdi = fuzzkit::TakeBytes(&pbData, &cbSize, cbSize);

    fuzzkit::WriteHostFile("code.bin", bin);
    fuzzkit::WriteHostFile("fpga.bit", bit);
    fuzzkit::WriteHostFile("disk.rdi", rdi);
    std::string args[] = {"vorlent", (nFlags & 1) ? "-" : "code.bin", (nFlags & 2) ? "-" : "fpga.bit",
                          (nFlags & 4) ? "-" : "disk.rdi", "/dev/null"};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(), nullptr};
    VorlentMain(5, argv);
    fuzzkit::EndInput();
    return 0;
}
