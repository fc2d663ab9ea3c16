// OS/8 file names in SIXBIT, wildcard matching and date words.
#include <ctime>

#include "os8.h"
#include "portable.h"
#include "shell.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The fixed "today" of the tests; a day of 0 means the host clock.
int g_nTestDay = 0;
int g_nTestMonth = 0;
int g_nTestYear = 0;

}  // namespace

char SixbitChar(unsigned nCode) {
    if (nCode == 0)
        return ' ';
    if (nCode < 32)
        return static_cast<char>(nCode + 64);
    return static_cast<char>(nCode);
}

// 0 and the SIXBIT blank (32) both give ' ', which ends a name part.
std::string DecodeFileName(const std::uint16_t* pwName) {
    char chars[8];
    for (unsigned k = 0; k < 4; ++k) {
        chars[2 * k] = SixbitChar((pwName[k] >> 6) & 077);
        chars[2 * k + 1] = SixbitChar(pwName[k] & 077);
    }
    std::string text;
    for (unsigned i = 0; i < 6 && chars[i] != ' '; ++i)
        text += chars[i];
    text += '.';
    for (unsigned i = 6; i < 8 && chars[i] != ' '; ++i)
        text += chars[i];
    return text;
}

OS8Name EncodeFileName(std::string_view text) {
    char slots[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    unsigned nPosition = 0;
    bool fExtension = false;
    for (char c : text) {
        if (IsLetter(c) || IsDigit(c)) {
            if (nPosition < (fExtension ? 8u : 6u))
                slots[nPosition++] = ToUpper(c);
        } else if (c == '.') {
            fExtension = true;
            nPosition = 6;
        }
    }
    OS8Name awName{};
    for (unsigned k = 0; k < 4; ++k) {
        auto code = [](char c) -> std::uint16_t {
            return c == ' ' ? 0 : static_cast<std::uint16_t>(static_cast<unsigned char>(c) & 077);
        };
        awName[k] = static_cast<std::uint16_t>((code(slots[2 * k]) << 6) | code(slots[2 * k + 1]));
    }
    return awName;
}

bool IsStorableFileName(std::string_view text) { return EncodeFileName(text)[0] != 0; }

void SplitFileName(std::string_view text, std::string& base, std::string& extension) {
    const std::size_t nDot = text.find('.');
    if (nDot == std::string_view::npos) {
        base = std::string(text);
        extension.clear();
    } else {
        base = std::string(text.substr(0, nDot));
        extension = std::string(text.substr(nDot));
    }
}

// Walks both texts together and stops as soon as either ends; what is left
// of the other is not looked at. A "*" skips both texts to their next dot.
bool MatchWildcard(std::string_view pattern, std::string_view name) {
    bool fResult = true;
    std::size_t p = 0;
    std::size_t n = 0;
    while (p < pattern.size() && n < name.size()) {
        if (pattern[p] == '*') {
            while (p < pattern.size() && pattern[p] != '.')
                ++p;
            while (n < name.size() && name[n] != '.')
                ++n;
        } else {
            if (pattern[p] != '?' && ToUpper(pattern[p]) != ToUpper(name[n]))
                fResult = false;
            ++p;
            ++n;
        }
    }
    return fResult;
}

bool MatchWholeName(std::string_view pattern, std::string_view name) {
    std::string patternBase, patternExtension, base, extension;
    SplitFileName(pattern, patternBase, patternExtension);
    SplitFileName(name, base, extension);
    // Without a dot a pattern with a "*" takes any extension (PROG* is every
    // name that begins with PROG, * every file); one without names a file
    // without extension (PROG is PROG. alone).
    if (patternExtension.empty())
        patternExtension = patternBase.find('*') != std::string::npos ? ".*" : ".";
    if (extension.empty())
        extension = ".";
    return MatchWholePattern(patternBase, base) &&
           MatchWholePattern(std::string_view(patternExtension).substr(1), std::string_view(extension).substr(1));
}

void SetTodayForTesting(int nDay, int nMonth, int nYear) {
    g_nTestDay = nDay;
    g_nTestMonth = nMonth;
    g_nTestYear = nYear >= 1900 ? nYear - 1900 : nYear;
}

void GetToday(int* pnDay, int* pnMonth, int* pnYear) {
    int nDay = g_nTestDay;
    int nMonth = g_nTestMonth;
    int nYear = g_nTestYear;
    if (nDay == 0) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        HostLocalTime(now, &local);
        nDay = local.tm_mday;
        nMonth = local.tm_mon + 1;
        nYear = local.tm_year;
    }
    if (pnDay != nullptr)
        *pnDay = nDay;
    if (pnMonth != nullptr)
        *pnMonth = nMonth;
    if (pnYear != nullptr)
        *pnYear = nYear;
}

std::uint16_t EncodeToday() {
    int nDay = 0;
    int nMonth = 0;
    int nYear = 0;
    GetToday(&nDay, &nMonth, &nYear);
    return static_cast<std::uint16_t>((((nYear - 86) & 7) | (nDay << 3) | (nMonth << 8)) & 07777);
}

void DecodeDate(std::uint16_t wDate, int* pnDay, int* pnMonth, int* pnYear) {
    int nThisYear = 0;
    GetToday(nullptr, nullptr, &nThisYear);
    int nYear = 86 + (wDate & 7);
    if (nYear > nThisYear)
        nYear -= 8;
    int nMonth = (wDate >> 8) & 15;
    if (nMonth == 0 || nMonth > 12)
        nMonth = 12;
    if (pnDay != nullptr)
        *pnDay = (wDate >> 3) & 31;
    if (pnMonth != nullptr)
        *pnMonth = nMonth;
    if (pnYear != nullptr)
        *pnYear = nYear;
}
