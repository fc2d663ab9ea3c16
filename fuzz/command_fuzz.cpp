// Fuzz target: the command line. An input is a command script (lines ended
// by newlines, taken as the command loop takes them: at most 255 characters
// at a time, up to the first NUL). Every line goes through ParseCommand and
// the list and qualifier tools, whose results are checked against the rules
// of the command language, and then through DoCommand on a scratch RX01
// image that holds a text, an image and a byte file.
//
// Nothing may reach the host outside the private directory: lines that run
// a host command ("!"), that name another folder (a backslash becomes "/",
// a slash in quotes stays one, "~/" is the home folder) or that open a
// physical drive (/PHYSICAL) are dropped. To keep every
// input well within a second under the sanitizers, long DUMP ranges are
// dropped, and so are WRITE lines once the host files they would import
// (a new RK05 image, say) add up to more than 512 KiB in the input.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "disk.h"
#include "fuzz_kit.h"
#include "orva.h"
#include "os8.h"
#include "shell.h"

namespace {

constexpr std::size_t MAX_LINES = 12;
constexpr std::size_t MAX_DUMP_RANGE = 16;
constexpr std::uintmax_t MAX_WRITE_BYTES = 512 * 1024;

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                \
            std::fflush(stderr);                                                     \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

const char TEXT_FILE[] =
    "First line of the text file.\n"
    "\tA tab, a form feed\f and a long line: "
    "0123456789012345678901234567890123456789012345678901234567890123456789\n"
    "Last line without a newline";

std::string g_image;  // the scratch image as every input finds it

void WriteHostFiles() {
    fuzzkit::WriteHostFile("a.tx", TEXT_FILE);
    std::string binary;
    for (unsigned i = 0; i < 900; ++i)
        binary += static_cast<char>((i * 37) & 0xFF);
    fuzzkit::WriteHostFile("b.bn", binary);
    fuzzkit::WriteHostFile("c.by", binary.substr(0, 300));
}

void MakeScratchImage() {
    fuzzkit::EnterSandbox();
    SetProgramName("ORVA");
    SetTodayForTesting(8, 12, 2026);
    WriteHostFiles();
    DoCommand("MOUNT /RX01 /INITIALIZE /NOCONFIRM scratch");
    DoCommand("WRITE a.tx");
    DoCommand("WRITE b.bn /IMAGE");
    DoCommand("WRITE c.by /BYTE");
    DoCommand("DISMOUNT");
    std::ifstream file("scratch.rx1", std::ios::binary);
    g_image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    FUZZ_CHECK(g_image.size() == 256256);
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsQualifierChar(char c) { return IsWordChar(c) || c == '_'; }

// Lines that could reach the host outside the sandbox.
bool IsSafeLine(std::string_view line) {
    if (!line.empty() && line[0] == '!')
        return false;
    if (line.find('\\') != std::string_view::npos || line.find("~/") != std::string_view::npos)
        return false;
    // A slash between quotes (counted roughly: every quote toggles) would
    // be part of a host path.
    bool fInQuotes = false;
    for (char c : line) {
        if (c == '"')
            fInQuotes = !fInQuotes;
        else if (c == '/' && fInQuotes)
            return false;
    }
    for (std::size_t i = 0; i + 4 <= line.size(); ++i)
        if (line[i] == '/' && Upper(line[i + 1]) == 'P' && Upper(line[i + 2]) == 'H' &&
            Upper(line[i + 3]) == 'Y')
            return false;
    return true;
}

// The bytes of the host files that the items of a WRITE parameter name.
std::uintmax_t HostBytes(const std::string& param) {
    std::uintmax_t cbTotal = 0;
    std::string item, path;
    for (unsigned i = 0; GetListItem(param, item, ',', i); ++i) {
        for (bool fFirst = true; FindHostFile(fFirst, item, path); fFirst = false) {
            std::error_code error;
            std::uintmax_t cb = std::filesystem::file_size(path, error);
            if (!error)
                cbTotal += cb;
        }
    }
    return cbTotal;
}

// Runs the parser and the list tools on one line and checks what they give.
// Returns false for a line that is not to be run: a DUMP of a long range,
// or a WRITE that would go beyond *pcbWrite.
bool CheckParser(const std::string& line, std::uintmax_t* pcbWrite) {
    std::string command, qualifiers, param1, param2;
    if (!ParseCommand(line, command, qualifiers, param1, param2))
        return true;
    FUZZ_CHECK(!command.empty());
    for (char c : command)
        FUZZ_CHECK(IsWordChar(c));
    // The qualifier text: "/" and a word, repeated.
    FUZZ_CHECK(qualifiers.empty() || qualifiers[0] == '/');
    for (std::size_t i = 0; i < qualifiers.size(); ++i)
        FUZZ_CHECK(IsQualifierChar(qualifiers[i]) || (qualifiers[i] == '/' && i + 1 < qualifiers.size() &&
                                                 qualifiers[i + 1] != '/'));
    FUZZ_CHECK(param2.empty() || !param1.empty());
    FUZZ_CHECK(command.size() + qualifiers.size() + param1.size() + param2.size() <= line.size() + 1);

    std::string item;
    bool fFlag = false;
    unsigned nQualifiers = 0;
    for (unsigned i = 1; GetListItem(qualifiers, item, '/', i); ++i) {
        FUZZ_CHECK(!item.empty() && item.find('/') == std::string::npos);
        bool fMatched = MatchQualifier(item, "CONFIRM", 4, &fFlag);
        FUZZ_CHECK(!fMatched || item.compare(0, 4, "CONF") == 0 || item.compare(0, 6, "NOCONF") == 0);
        MatchQualifier(item, "SYSTEM", 3, &fFlag);
        ++nQualifiers;
    }
    FUZZ_CHECK(qualifiers.empty() || GetListItem(qualifiers, item, '/', 0));
    CheckNoQualifiers(qualifiers);

    for (const std::string* pParam : {&param1, &param2}) {
        // Blanks and slashes only in quoted items and in items from "~/".
        if (pParam->find('"') == std::string::npos && pParam->find("~/") == std::string::npos) {
            for (char c : *pParam)
                FUZZ_CHECK(!IsBlank(c) && c != '/');
        }
        unsigned nItems = CountListItems(*pParam);
        FUZZ_CHECK((nItems == 0) == pParam->empty());
        std::size_t cbItems = 0;
        for (unsigned i = 0; i < nItems; ++i) {
            FUZZ_CHECK(GetQuotedListItem(*pParam, item, ',', i));
            cbItems += item.size();
            std::string plain;
            FUZZ_CHECK(GetListItem(*pParam, plain, ',', i));
            FUZZ_CHECK(plain == Unquote(item));
            FUZZ_CHECK(!IsQuoted(item) || Unquote(Quote(plain)) == plain);
        }
        FUZZ_CHECK(!GetListItem(*pParam, item, ',', nItems));
        FUZZ_CHECK(nItems == 0 || cbItems + nItems - 1 == pParam->size());
        FUZZ_CHECK(CheckNoList(*pParam) == (nItems <= 1));
        std::uint32_t nPartition = 0;
        ParsePartitionName(*pParam, &nPartition);
        std::string directory, name, extension;
        SplitHostPath(*pParam, directory, name, extension);
        FUZZ_CHECK(directory + name + extension == *pParam);
        FUZZ_CHECK(extension.empty() || extension[0] == '.');
    }
    for (int nCount = 0; nCount <= 2; ++nCount)
        CheckParameterCount(nCount, param1, param2);

    if (command.size() >= 2 && command.compare(0, 2, "DU") == 0 && !param2.empty()) {
        unsigned long nFirst = std::strtoul(param1.c_str(), nullptr, 0);
        unsigned long nLast = std::strtoul(param2.c_str(), nullptr, 0);
        if (nLast >= nFirst && nLast - nFirst > MAX_DUMP_RANGE)
            return false;
    }
    if (command.size() >= 3 && command.compare(0, 3, "WRI") == 0) {
        *pcbWrite += HostBytes(param1);
        if (*pcbWrite > MAX_WRITE_BYTES)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pbData, std::size_t cbSize) {
    if (g_image.empty())
        MakeScratchImage();
    fuzzkit::EnterSandbox();
    WriteHostFiles();
    fuzzkit::WriteHostFile("scratch.rx1", g_image);
    DoCommand("MOUNT /RX01 scratch");

    std::string_view script(reinterpret_cast<const char*>(pbData), cbSize);
    std::size_t nLines = 0;
    std::uintmax_t cbWrite = 0;
    while (!script.empty() && nLines < MAX_LINES) {
        // One read of the command loop: up to the newline, at most 255
        // characters; the text ends at a NUL as a C string does.
        std::size_t cbLine = script.find('\n');
        bool fNewline = cbLine != std::string_view::npos && cbLine <= SHELL_TEXT_MAX;
        if (!fNewline)
            cbLine = std::min(script.size(), SHELL_TEXT_MAX);
        std::string line(script.substr(0, cbLine));
        script.remove_prefix(cbLine + (fNewline ? 1 : 0));
        if (std::size_t nNul = line.find('\0'); nNul != std::string::npos)
            line.erase(nNul);
        ++nLines;
        if (!IsSafeLine(line))
            continue;
        if (!CheckParser(line, &cbWrite))
            continue;
        DoCommand(line);
    }
    if (IsDiskMounted())
        CloseDisk();
    fuzzkit::EndInput();
    return 0;
}
