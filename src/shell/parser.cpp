// The command-line parser and the small tools every command handler uses:
// lists, qualifiers, parameter counts and partition numbers.
#include <algorithm>
#include <cctype>

#include "shell.h"

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
// A qualifier word may also hold underscores, so /READ_ONLY reads whole.
bool IsQualifierChar(char c) { return IsWordChar(c) || c == '_'; }

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

// Letters and digits (and, in a qualifier, underscores), folded to upper
// case.
bool GetWord(Cursor& cursor, std::string& word, bool fQualifier = false) {
    std::size_t start = cursor.pos;
    while (!cursor.AtEnd() && (fQualifier ? IsQualifierChar(cursor.Peek()) : IsWordChar(cursor.Peek())))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(cursor.line[cursor.pos++])));
    return cursor.pos > start;
}

bool GetQualifiers(Cursor& cursor, std::string& qualifiers) {
    SkipBlanks(cursor);
    while (cursor.Peek() == '/') {
        ++cursor.pos;
        std::string word;
        if (!GetWord(cursor, word, true)) {
            Message('E', "no qualifier after SLASH");
            return false;
        }
        qualifiers += '/';
        qualifiers += word;
        SkipBlanks(cursor);
    }
    return true;
}

// Copies a quoted run, from its opening double quote to its closing one,
// as it stands (a doubled quote inside stays doubled). False, after the
// message, when the line ends before the closing quote.
bool GetQuoted(Cursor& cursor, std::string& parameter) {
    const std::size_t end = QuotedRunEnd(cursor.line, cursor.pos);
    const std::size_t stop = std::min(end, cursor.line.size());
    parameter += cursor.line.substr(cursor.pos, stop - cursor.pos);
    cursor.pos = stop;
    if (end == std::string_view::npos) {
        Message('E', "missing closing quote");
        return false;
    }
    return true;
}

enum class ParameterResult { None, Read, Failed };

// Everything up to a blank, a slash or the end; blanks after a comma do not
// end the parameter and are dropped. A parameter or a list item that begins
// with a double quote runs to its closing quote, blanks, slashes and commas
// included; the quotes stay in the text, and GetListItem and HostPath take
// them off.
ParameterResult GetParameter(Cursor& cursor, std::string& parameter) {
    std::size_t start = cursor.pos;
    bool fItemStart = true;
    // An item that begins with "~/" is a host path from $HOME: its slashes
    // separate folders, they do not begin qualifiers.
    bool fHomePath = false;
    while (!cursor.AtEnd() && !IsBlank(cursor.Peek()) && (cursor.Peek() != '/' || fHomePath)) {
        if (fItemStart && cursor.Peek() == '"') {
            if (!GetQuoted(cursor, parameter))
                return ParameterResult::Failed;
            fItemStart = false;
            continue;
        }
        if (fItemStart)
            fHomePath = cursor.line.substr(cursor.pos, 2) == "~/";
        char c = cursor.line[cursor.pos++];
        parameter += c;
        fItemStart = c == ',';
        if (c == ',') {
            fHomePath = false;
            SkipBlanks(cursor);
        }
    }
    return cursor.pos > start ? ParameterResult::Read : ParameterResult::None;
}

// The end of the list item that begins at `start`: the next separator, or
// the end of the list. In a comma list an item that begins with a double
// quote holds every comma up to its closing quote.
std::size_t ItemEnd(std::string_view list, std::size_t start, char separator) {
    std::size_t pos = start;
    if (separator == ',' && pos < list.size() && list[pos] == '"')
        pos = std::min(QuotedRunEnd(list, pos), list.size());
    std::size_t end = list.find(separator, pos);
    return end == std::string_view::npos ? list.size() : end;
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
    ParameterResult result = GetParameter(cursor, param1);
    if (result != ParameterResult::Read)
        return result == ParameterResult::None;
    if (!GetQualifiers(cursor, qualifiers))
        return false;
    result = GetParameter(cursor, param2);
    if (result != ParameterResult::Read)
        return result == ParameterResult::None;
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

bool GetQuotedListItem(std::string_view list, std::string& item, char separator, unsigned nIndex) {
    if (list.empty())
        return false;
    std::size_t start = 0;
    for (unsigned i = 0; i < nIndex; ++i) {
        std::size_t next = ItemEnd(list, start, separator);
        if (next == list.size())
            return false;
        start = next + 1;
    }
    item = list.substr(start, ItemEnd(list, start, separator) - start);
    return true;
}

bool GetListItem(std::string_view list, std::string& item, char separator, unsigned nIndex) {
    if (!GetQuotedListItem(list, item, separator, nIndex))
        return false;
    if (separator == ',')
        item = Unquote(item);
    return true;
}

bool IsQuoted(std::string_view text) { return !text.empty() && text[0] == '"'; }

std::size_t QuotedRunEnd(std::string_view text, std::size_t start) {
    std::size_t pos = start + 1;
    while (pos < text.size()) {
        if (text[pos++] != '"')
            continue;
        if (pos >= text.size() || text[pos] != '"')
            return pos;
        ++pos;  // a doubled quote stands for one
    }
    return std::string_view::npos;
}

std::string Unquote(std::string_view text) {
    if (!IsQuoted(text))
        return std::string(text);
    std::string plain;
    std::size_t pos = 1;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"') {
            if (pos >= text.size() || text[pos] != '"')
                break;
            ++pos;
        }
        plain += c;
    }
    // Whatever follows the closing quote is taken as it stands.
    plain += text.substr(pos);
    return plain;
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
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
