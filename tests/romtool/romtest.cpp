#include "romtest.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace romtest {

ProgramRun RunProgram(const fs::path& program, const fs::path& dir, const std::vector<std::string>& args) {
    TempDir capture;
    ProgramRun run;
    run.status = testhost::RunRedirected(program, dir, args, capture / "stdout", capture / "stderr");
    run.out = ReadFile(capture / "stdout");
    run.err = ReadFile(capture / "stderr");
    return run;
}

ProgramRun RunVorlent(const fs::path& dir, const std::vector<std::string>& args) {
    return RunProgram(VORLENT_BINARY, dir, args);
}

fs::path FindOnPath(const std::string& name) {
    const char* pszPath = std::getenv("PATH");
    std::string_view path = pszPath ? pszPath : "/usr/bin:/bin";
    while (!path.empty()) {
        const std::size_t nColon = path.find(':');
        const std::string_view folder = path.substr(0, nColon);
        path = nColon == std::string_view::npos ? std::string_view() : path.substr(nColon + 1);
        if (folder.empty())
            continue;
        const fs::path candidate = fs::path(folder) / name;
        std::error_code ec;
        const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        if (fs::is_regular_file(candidate, ec) && (fs::status(candidate, ec).permissions() & exec) != fs::perms::none)
            return candidate;
    }
    return {};
}

std::string BinLeader(int nCount) { return std::string(static_cast<std::size_t>(nCount), '\x80'); }

std::string BinField(unsigned nField) { return std::string(1, static_cast<char>(0300 | (nField & 07) << 3)); }

std::string BinOrigin(unsigned nAddress) {
    return {static_cast<char>(0100 | ((nAddress >> 6) & 077)), static_cast<char>(nAddress & 077)};
}

std::string BinData(unsigned wWord) {
    return {static_cast<char>((wWord >> 6) & 077), static_cast<char>(wWord & 077)};
}

std::string BinWordAtIndex(unsigned nIndex, unsigned wWord) {
    return BinLeader() + BinField(3 + nIndex / 4096) + BinOrigin(nIndex % 4096) + BinData(wWord) + BinLeader();
}

std::uint8_t ReverseBits(unsigned b) {
    unsigned r = 0;
    for (unsigned nBit = 0; nBit < 8; ++nBit)
        r = r << 1 | ((b >> nBit) & 1);
    return static_cast<std::uint8_t>(r);
}

std::size_t Rom::Count() const { return CountIn(0, ROM_SIZE); }

std::size_t Rom::CountIn(std::uint32_t nStart, std::uint32_t cb) const {
    std::size_t n = 0;
    for (std::uint32_t i = nStart; i < nStart + cb && i < ROM_SIZE; ++i)
        n += abByte[i] >= 0;
    return n;
}

namespace {

bool ParseOctal(std::string_view digits, unsigned* pnValue) {
    unsigned nValue = 0;
    for (char c : digits) {
        if (c < '0' || c > '7')
            return false;
        nValue = nValue * 8 + static_cast<unsigned>(c - '0');
    }
    *pnValue = nValue;
    return !digits.empty();
}

}  // namespace

std::string DecodeListing(const std::string& text, Rom& rom) {
    std::size_t nPos = 0;
    auto nextLine = [&](std::string_view* pLine) {
        const std::size_t nEnd = text.find("\r\n", nPos);
        if (nEnd == std::string::npos)
            return false;
        *pLine = std::string_view(text).substr(nPos, nEnd - nPos);
        nPos = nEnd + 2;
        return true;
    };
    bool fStarted = false;
    std::uint32_t nNext = 0;
    unsigned nSum = 0;
    while (nPos < text.size()) {
        std::string_view line;
        if (!nextLine(&line))
            return "text without CR LF at offset " + std::to_string(nPos);
        const std::string shown(line);
        unsigned nPage = 0, nOffset = 0;
        if (line.size() != 10 + 8 * 4 || line[4] != '.' || line[8] != '/' || line[9] != ' ' ||
            !ParseOctal(line.substr(0, 4), &nPage) || !ParseOctal(line.substr(5, 3), &nOffset) || nOffset > 0377)
            return "not a data line: \"" + shown + "\"";
        const std::uint32_t nAddress = nPage * 256 + nOffset;
        if (nAddress % 8 != 0 || nAddress + 8 > ROM_SIZE)
            return "bad line address: \"" + shown + "\"";
        if (fStarted ? nAddress != nNext && (nNext % 256 != 0 || nAddress % 256 != 0 || nAddress < nNext)
                     : nAddress % 256 != 0)
            return "address out of sequence: \"" + shown + "\"";
        fStarted = true;
        for (unsigned k = 0; k < 8; ++k) {
            const std::string_view field = line.substr(10 + 4 * k, 4);
            unsigned nByte = 0;
            if (field[3] != ' ' || !ParseOctal(field.substr(0, 3), &nByte) || nByte > 0377)
                return "bad byte in \"" + shown + "\"";
            rom.abByte[nAddress + k] = static_cast<int>(nByte);
            nSum += nByte;
        }
        nNext = nAddress + 8;
        if (nNext % 256 == 0) {
            std::string_view sumLine;
            unsigned nChecksum = 0;
            if (!nextLine(&sumLine) || sumLine.size() != 4 || !ParseOctal(sumLine, &nChecksum))
                return "no checksum line after \"" + shown + "\"";
            if (nChecksum != nSum % 4096)
                return "checksum " + std::string(sumLine) + " wrong for the page ending at \"" + shown + "\"";
            nSum = 0;
        }
    }
    if (nNext % 256 != 0)
        return "listing ends inside a page";
    return "";
}

std::vector<std::uint16_t> DecodeCodeRegion(const Rom& rom) {
    std::vector<std::uint16_t> awWords;
    for (std::uint32_t nField = 0; nField < 8 && rom.abByte[nField * 4096] >= 0; ++nField) {
        const std::uint32_t nStart = nField * 4096;
        if (rom.CountIn(nStart, 4096) != 4096) {
            ADD_FAILURE() << "ROM field " << nField << " is incomplete";
            break;
        }
        for (std::uint32_t i = 0; i < 4032; i += 3) {
            const unsigned b0 = static_cast<unsigned>(rom.abByte[nStart + i]);
            const unsigned b1 = static_cast<unsigned>(rom.abByte[nStart + i + 1]);
            const unsigned b2 = static_cast<unsigned>(rom.abByte[nStart + i + 2]);
            awWords.push_back(static_cast<std::uint16_t>(b0 | (b2 & 017) << 8));
            awWords.push_back(static_cast<std::uint16_t>(b1 | (b2 >> 4) << 8));
        }
        for (std::uint32_t i = 4032; i < 4096; ++i)
            if (rom.abByte[nStart + i] != 0) {
                ADD_FAILURE() << "ROM field " << nField << " has a non-zero byte at " << i;
                break;
            }
    }
    return awWords;
}

BuiltRom BuildRom(const Input& bin, const Input& bit, const Input& rdi) {
    TempDir dir;
    std::vector<std::string> args;
    for (const auto& [pInput, pszName] : {std::pair{&bin, "in.bin"}, std::pair{&bit, "in.bit"}, std::pair{&rdi, "in.rdi"}}) {
        if (*pInput) {
            WriteFile(dir / pszName, **pInput);
            args.push_back(pszName);
        } else {
            args.push_back("-");
        }
    }
    args.push_back("out.txt");
    BuiltRom built;
    built.run = RunVorlent(dir.path(), args);
    built.listing = ReadFile(dir / "out.txt");
    EXPECT_EQ(DecodeListing(built.listing, built.rom), "");
    return built;
}

}  // namespace romtest
