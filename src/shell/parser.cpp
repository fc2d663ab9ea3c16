// The command-line parser and the small tools every command handler uses:
// lists, qualifiers, parameter counts and partition numbers.
#include <cctype>

#include "shell.h"

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// A position in the line that the parser steps move forward.
struct Cursor {
    std::string_view line;
    std::size_t pos = 0;

    bool AtEnd() const { return pos >= line.size(); }
    char Peek() const { return AtEnd() ? '\0' : line[pos]; }
};

void SkipBlanks(Cursor& cursor) {
    while (!cursor.AtEnd() && IsBlank(cursor.Peek()))
        ++cursor.pos;
}

// Letters and digits, folded to upper case.
bool GetWord(Cursor& cursor, std::string& word) {
    std::size_t start = cursor.pos;
    while (!cursor.AtEnd() && IsWordChar(cursor.Peek()))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(cursor.line[cursor.pos++])));
    return cursor.pos > start;
}

bool GetQualifiers(Cursor& cursor, std::string& qualifiers) {
    SkipBlanks(cursor);
    while (cursor.Peek() == '/') {
        ++cursor.pos;
        std::string word;
        if (!GetWord(cursor, word)) {
            Message('E', "no qualifier after SLASH");
            return false;
        }
        qualifiers += '/';
        qualifiers += word;
        SkipBlanks(cursor);
    }
    return true;
}

// Everything up to a blank, a slash or the end; blanks after a comma do not
// end the parameter and are dropped.
bool GetParameter(Cursor& cursor, std::string& parameter) {
    std::size_t start = cursor.pos;
    while (!cursor.AtEnd() && !IsBlank(cursor.Peek()) && cursor.Peek() != '/') {
        char c = cursor.line[cursor.pos++];
        parameter += c;
        if (c == ',')
            SkipBlanks(cursor);
    }
    return cursor.pos > start;
}

}  // namespace

bool ParseCommand(std::string_view line, std::string& command, std::string& qualifiers,
                  std::string& param1, std::string& param2) {
    command.clear();
    qualifiers.clear();
    param1.clear();
    param2.clear();
    Cursor cursor{line};
    SkipBlanks(cursor);
    if (!GetWord(cursor, command)) {
        Message('E', "no command on line");
        return false;
    }
    if (!GetQualifiers(cursor, qualifiers))
        return false;
    if (!GetParameter(cursor, param1))
        return true;
    if (!GetQualifiers(cursor, qualifiers))
        return false;
    if (!GetParameter(cursor, param2))
        return true;
    if (!GetQualifiers(cursor, qualifiers))
        return false;
    if (!cursor.AtEnd()) {
        // Only blanks and slashes can stand before what is left, and a slash
        // there would have been read as a qualifier.
        std::string rest(line.substr(cursor.pos));
        Message('E', "extra parameters on line - \"%s\"", rest.c_str());
        return false;
    }
    return true;
}

bool MatchKeyword(std::string_view word, std::string_view keyword, std::size_t nLength) {
    return word.size() >= nLength && word.substr(0, nLength) == keyword.substr(0, nLength);
}

bool MatchQualifier(std::string_view qualifier, std::string_view keyword, std::size_t nLength,
                    bool* pfFlag) {
    if (qualifier.substr(0, 2) == "NO" && MatchKeyword(qualifier.substr(2), keyword, nLength)) {
        *pfFlag = false;
        return true;
    }
    if (MatchKeyword(qualifier, keyword, nLength)) {
        *pfFlag = true;
        return true;
    }
    return false;
}

bool GetListItem(std::string_view list, std::string& item, char separator, unsigned nIndex) {
    if (list.empty())
        return false;
    std::size_t start = 0;
    for (unsigned i = 0; i < nIndex; ++i) {
        std::size_t next = list.find(separator, start);
        if (next == std::string_view::npos)
            return false;
        start = next + 1;
    }
    std::size_t end = list.find(separator, start);
    item = list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    return true;
}

unsigned CountListItems(std::string_view parameter) {
    std::string item;
    unsigned nIndex = 0;
    while (GetListItem(parameter, item, ',', nIndex))
        ++nIndex;
    return nIndex;
}

bool CheckNoList(const std::string& parameter) {
    std::string item;
    if (GetListItem(parameter, item, ',', 1)) {
        Message('E', "list not allowed - %s", parameter.c_str());
        return false;
    }
    return true;
}

void ReportUnknownQualifier(const std::string& qualifier) {
    Message('E', "unknown qualifier %s", qualifier.c_str());
}

bool CheckParameterCount(int nCount, std::string_view param1, std::string_view param2) {
    bool fMissing = (nCount >= 1 && param1.empty()) || (nCount >= 2 && param2.empty());
    bool fExtra = (nCount == 0 && !param1.empty()) || (nCount == 1 && !param2.empty());
    if (fMissing) {
        Message('E', "additional parameters required");
        return false;
    }
    if (fExtra) {
        Message('E', "extra parameter(s)");
        return false;
    }
    return true;
}

bool CheckNoQualifiers(const std::string& qualifiers) {
    if (!qualifiers.empty()) {
        Message('E', "no qualifiers allowed - %s", qualifiers.c_str());
        return false;
    }
    return true;
}

bool ParsePartitionName(std::string_view text, std::uint32_t* pnNumber) {
    *pnNumber = 0;
    std::uint64_t nValue = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        nValue = nValue * 10 + static_cast<unsigned>(c - '0');
        if (nValue > UINT32_MAX)
            return false;
    }
    *pnNumber = static_cast<std::uint32_t>(nValue);
    return true;
}
