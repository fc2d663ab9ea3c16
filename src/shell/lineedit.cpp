// Line editing at a terminal, through libedit's readline interface: the
// arrow keys and the Emacs keys edit the line, Up and Down walk the
// history, Ctrl-R searches it, and the history is kept in
// $HOME/.orva_history. Tab completes command words, qualifiers of the
// command being typed, host file names where a host file is expected and
// OS/8 names of the mounted unit where OS/8 names are expected.
//
// Only command lines are read here; the answers to questions keep the plain
// line input, and do not go into the history.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <editline/readline.h>

#include "shell.h"

namespace {

OS8NameLister g_pfnOS8Names = nullptr;
bool g_fStarted = false;
std::string g_historyPath;

// What a parameter of a command names, for completion.
enum class ParameterKind { None, HostFile, OS8Name };

struct CommandSyntax {
    const char* pszKeyword;
    std::size_t nMinimum;  // the abbreviation rule of the command loop
    std::vector<const char*> qualifiers;
    ParameterKind kind1;
    ParameterKind kind2;
};

const std::vector<CommandSyntax>& Commands() {
    using K = ParameterKind;
    static const std::vector<CommandSyntax> kCommands = {
        {"HELP", 1, {}, K::None, K::None},
        {"EXIT", 2, {}, K::None, K::None},
        {"QUIT", 1, {}, K::None, K::None},
        {"MOUNT", 3,
         {"RX01", "RX02", "RX50", "NB03", "HE02", "RK05", "TU56", "PHYSICAL", "VIRTUAL", "READ_ONLY", "SYSTEM",
          "INITIALIZE", "CONFIRM", "NOCONFIRM"},
         K::HostFile, K::None},
        {"DISMOUNT", 4, {}, K::None, K::None},
        {"PARTITION", 4, {}, K::None, K::None},
        {"DUMP", 2, {}, K::None, K::None},
        {"DIRECTORY", 3, {"BRIEF", "FULL"}, K::OS8Name, K::HostFile},
        {"TYPE", 2, {"CONFIRM", "NOCONFIRM"}, K::OS8Name, K::None},
        {"READ", 3, {"SYSTEM", "BOOT", "CONFIRM", "NOCONFIRM", "IMAGE", "ASCII", "BYTE"}, K::OS8Name,
         K::HostFile},
        {"RENAME", 3, {"CONFIRM", "NOCONFIRM"}, K::OS8Name, K::None},
        {"DELETE", 3, {"CONFIRM", "NOCONFIRM"}, K::OS8Name, K::None},
        {"WRITE", 3, {"SYSTEM", "BOOT", "CONFIRM", "NOCONFIRM", "IMAGE", "ASCII", "BYTE"}, K::HostFile,
         K::OS8Name},
        {"VERIFY", 3, {"ALL"}, K::None, K::None},
        {"ZERO", 3, {"SYSTEM", "CONFIRM", "NOCONFIRM"}, K::None, K::None},
    };
    return kCommands;
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[i]) != Upper(prefix[i]))
            return false;
    }
    return true;
}

// A keyword completed in the case the user began it in.
std::string InTypedCase(std::string_view keyword, std::string_view typed) {
    std::string word(keyword);
    if (!typed.empty() && std::islower(static_cast<unsigned char>(typed[0])))
        std::transform(word.begin(), word.end(), word.begin(), Lower);
    return word;
}

const CommandSyntax* FindCommand(std::string_view word) {
    for (const CommandSyntax& syntax : Commands()) {
        std::string_view keyword = syntax.pszKeyword;
        if (word.size() >= syntax.nMinimum && StartsWithFolded(word, keyword.substr(0, syntax.nMinimum)))
            return &syntax;
    }
    return nullptr;
}

// Where the cursor stands on the line, for completion.
struct CompletionPlace {
    std::string command;         // the command word, empty while it is typed
    unsigned nParameter = 0;     // 1 or 2 for a parameter, 0 otherwise
    std::size_t nItemStart = 0;  // where the item being typed begins
    bool fQualifier = false;     // the item is a qualifier word
};

// Walks the line up to the cursor as the parser reads it: the command word,
// qualifiers, and parameters whose items are separated by commas, with
// quoted items that may hold blanks, slashes and commas.
CompletionPlace FindPlace(std::string_view line) {
    CompletionPlace place;
    auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t pos = 0;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    std::size_t wordStart = pos;
    while (pos < line.size() && std::isalnum(static_cast<unsigned char>(line[pos])))
        ++pos;
    place.nItemStart = wordStart;
    if (pos == line.size())
        return place;  // the command word itself
    place.command = line.substr(wordStart, pos - wordStart);
    unsigned nParameters = 0;
    for (;;) {
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        place.nItemStart = pos;
        if (pos == line.size()) {
            place.nParameter = nParameters + 1;  // a new parameter begins
            return place;
        }
        if (line[pos] == '/') {
            ++pos;
            while (pos < line.size() && (std::isalnum(static_cast<unsigned char>(line[pos])) || line[pos] == '_'))
                ++pos;
            if (pos == line.size()) {
                place.fQualifier = true;
                return place;
            }
            continue;
        }
        ++nParameters;
        place.nParameter = nParameters;
        for (;;) {
            place.nItemStart = pos;
            if (pos < line.size() && line[pos] == '"')
                pos = std::min(QuotedRunEnd(line, pos), line.size());
            // An item that begins with "~/" holds its slashes, as the
            // parser reads it.
            bool fHomePath = line.substr(place.nItemStart, 2) == "~/";
            while (pos < line.size() && !isBlank(line[pos]) && (line[pos] != '/' || fHomePath) && line[pos] != ',')
                ++pos;
            if (pos == line.size())
                return place;  // this item
            if (line[pos] != ',')
                break;  // the parameter ends
            ++pos;
            while (pos < line.size() && isBlank(line[pos]))
                ++pos;
        }
    }
}

// Host files and folders whose names begin as the item does; folders end in
// "/", and a quoted item gives quoted names (closed when they name a file).
void AddHostFiles(std::string_view item, std::vector<std::string>& matches) {
    bool fQuoted = IsQuoted(item);
    std::string plain = Unquote(item);
    if (fQuoted && !plain.empty() && plain.back() == '"')
        plain.pop_back();
    std::size_t slash = plain.rfind('/');
    std::string directory = slash == std::string::npos ? std::string() : plain.substr(0, slash + 1);
    std::string prefix = plain.substr(directory.size());
    std::string lookup = directory.empty() ? std::string(".") : HostPath(fQuoted ? Quote(directory) : directory);
    DIR* dir = opendir(lookup.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (name[0] == '.' && (prefix.empty() || prefix[0] != '.'))
            continue;
        struct stat info;
        std::string full = lookup + "/" + name;
        bool fFolder = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        std::string path = directory + name + (fFolder ? "/" : "");
        if (fQuoted) {
            path = Quote(path);
            if (fFolder)
                path.pop_back();  // still open: the user goes on typing
        }
        matches.push_back(path);
    }
    closedir(dir);
    std::sort(matches.begin(), matches.end());
}

void AddOS8Names(std::string_view item, std::vector<std::string>& matches) {
    if (g_pfnOS8Names == nullptr)
        return;
    std::vector<std::string> names;
    g_pfnOS8Names(names);
    for (const std::string& name : names) {
        if (StartsWithFolded(name, item))
            matches.push_back(InTypedCase(name, item));
    }
    std::sort(matches.begin(), matches.end());
    matches.erase(std::unique(matches.begin(), matches.end()), matches.end());
}

std::vector<std::string> Complete(std::string_view line) {
    CompletionPlace place = FindPlace(line);
    std::string_view item = line.substr(place.nItemStart);
    std::vector<std::string> matches;
    if (place.command.empty()) {
        for (const CommandSyntax& syntax : Commands()) {
            if (StartsWithFolded(syntax.pszKeyword, item))
                matches.push_back(InTypedCase(syntax.pszKeyword, item));
        }
        return matches;
    }
    const CommandSyntax* pSyntax = FindCommand(place.command);
    if (pSyntax == nullptr)
        return matches;
    if (place.fQualifier) {
        std::string_view word = item.substr(1);
        for (const char* pszQualifier : pSyntax->qualifiers) {
            if (StartsWithFolded(pszQualifier, word))
                matches.push_back("/" + InTypedCase(pszQualifier, word));
        }
        return matches;
    }
    ParameterKind kind = place.nParameter == 1   ? pSyntax->kind1
                         : place.nParameter == 2 ? pSyntax->kind2
                                                 : ParameterKind::None;
    if (kind == ParameterKind::HostFile)
        AddHostFiles(item, matches);
    else if (kind == ParameterKind::OS8Name)
        AddOS8Names(item, matches);
    return matches;
}

char* Duplicate(const std::string& text) {
    char* psz = static_cast<char*>(std::malloc(text.size() + 1));
    if (psz != nullptr)
        std::memcpy(psz, text.c_str(), text.size() + 1);
    return psz;
}

// libedit replaces the text from `start` to the cursor with the first
// entry (the common beginning of all matches) and lists the others. The
// item being completed may begin before `start` (a quoted item with a
// blank in it), so the matches are cut to the part from `start` on.
char** AttemptCompletion(const char* /*pszText*/, int start, int end) {
    rl_attempted_completion_over = 1;
    std::string line(rl_line_buffer, static_cast<std::size_t>(std::max(end, 0)));
    std::vector<std::string> matches = Complete(line);
    std::size_t nItemStart = FindPlace(line).nItemStart;
    std::size_t nCut = static_cast<std::size_t>(start) > nItemStart ? static_cast<std::size_t>(start) - nItemStart : 0;
    if (matches.empty())
        return nullptr;
    std::string common = matches[0];
    for (const std::string& match : matches) {
        std::size_t n = 0;
        while (n < common.size() && n < match.size() && common[n] == match[n])
            ++n;
        common.resize(n);
    }
    // A single file or word is followed by a blank; a folder, or a quoted
    // path still open, is not.
    bool fOpen = matches.size() == 1 && (matches[0].back() == '/' ||
                                         (IsQuoted(matches[0]) && matches[0].back() != '"'));
    rl_completion_append_character = fOpen ? '\0' : ' ';
    auto cut = [nCut](const std::string& text) { return text.size() >= nCut ? text.substr(nCut) : std::string(); };
    char** ppszMatches = static_cast<char**>(std::calloc(matches.size() + 2, sizeof(char*)));
    if (ppszMatches == nullptr)
        return nullptr;
    ppszMatches[0] = Duplicate(cut(matches.size() == 1 ? matches[0] : common));
    if (matches.size() > 1) {
        for (std::size_t i = 0; i < matches.size(); ++i)
            ppszMatches[i + 1] = Duplicate(cut(matches[i]));
    }
    return ppszMatches;
}

void StartLineEditing() {
    g_fStarted = true;
    rl_readline_name = "orva";
    rl_instream = stdin;
    rl_outstream = stderr;  // the prompt goes where every prompt goes
    // Blanks and commas end the word libedit hands over; the completion
    // finds quoted items itself.
    static char szBreaks[] = " \t,";
    rl_completer_word_break_characters = szBreaks;
    rl_basic_word_break_characters = szBreaks;
    rl_attempted_completion_function = AttemptCompletion;
    using_history();
    stifle_history(500);
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && *pszHome != '\0') {
        g_historyPath = std::string(pszHome) + "/.orva_history";
        read_history(g_historyPath.c_str());
    }
}

void Remember(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos)
        return;
    HIST_ENTRY* pLast = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
    if (pLast != nullptr && pLast->line != nullptr && line == pLast->line)
        return;
    add_history(line.c_str());
    if (!g_historyPath.empty())
        write_history(g_historyPath.c_str());
}

}  // namespace

bool IsLineEditing() { return isatty(STDIN_FILENO) != 0; }

void SetOS8NameLister(OS8NameLister pfnLister) { g_pfnOS8Names = pfnLister; }

bool ReadEditedLine(const char* pszPrompt, std::string& line) {
    if (!g_fStarted)
        StartLineEditing();
    char* pszLine = readline(pszPrompt);
    if (pszLine == nullptr)
        return false;
    // A line over 255 characters comes back whole, so that the command
    // loop refuses it; the history keeps it for shortening.
    line = pszLine;
    std::free(pszLine);
    Remember(line);
    return true;
}
