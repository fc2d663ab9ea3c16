// The orva console kit: messages and questions, line input (edited at a
// terminal), the command-line parser and the host tools every module uses.
//
// Every check below that answers false has printed its E message already;
// the caller ends the command and prints nothing more. Texts are passed by
// value or reference and never kept, except the program name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Command lines, words, parameters, list items and formatted texts hold at
// most this many characters.
inline constexpr std::size_t SHELL_TEXT_MAX = 255;

// Thrown to abandon the command in progress after its error has been
// reported (a device fault, a damaged directory). Only the command loop
// catches it, and VERIFY, which goes on past a block it cannot read; every
// host file is closed on the way out by its owner.
struct CommandAbort {};
[[noreturn]] void AbortCommand();

// ---- Messages and prompts -------------------------------------------------

// Stores the pointer; the text must live for the whole run. Until it is
// set, messages carry an empty name.
void SetProgramName(const char* pszName);
const char* GetProgramName();

// One line on standard error: "%NAME-S, text". The text is cut at 255
// characters.
void Message(char cSeverity, const char* pszFormat, ...)
    __attribute__((format(printf, 2, 3)));
// The number of E messages printed since the program began.
unsigned long GetErrorCount();

// Writes the prompt to standard error and reads one line from standard
// input, dropping its newline. The whole line is read; of a line longer than
// 255 characters the first 256 are kept, so that IsLineTooLong tells it. False
// at end of input or on a read error.
bool PromptLine(const char* pszPrompt, std::string& line);
// True for a line PromptLine read that was longer than 255 characters.
bool IsLineTooLong(const std::string& line);

// True when standard input is a terminal, where a person answers questions
// and can be asked again; false for a script.
bool IsInteractiveInput();
// Tests fix the answer of IsInteractiveInput: 1 a terminal, 0 a script,
// -1 the system's answer again.
void SetInteractiveInputForTesting(int nInteractive);

// PromptLine with the prompt "NAME>". When standard input is a terminal
// the line is read with line editing, history and completion instead.
bool ReadCommandLine(std::string& line);

// Line editing at a terminal (lineedit.cpp, on hosts that have libedit).
// IsLineEditing is true when standard input is a terminal; ReadEditedLine
// then reads one command line after the prompt, false at end of input.
bool IsLineEditing();
bool ReadEditedLine(const char* pszPrompt, std::string& line);
// Tab completion offers OS/8 names where a command expects them; the
// command loop hands in the function that lists the names of the mounted
// unit (nothing when no disk is mounted); completion keeps those that begin
// as the item typed.
using OS8NameLister = void (*)(std::vector<std::string>& names);
void SetOS8NameLister(OS8NameLister pfnLister);

// Asks a YES/NO question (the format ends in " ?"). An empty answer gives
// fDefault (true or false); the end of input gives NO. Any other answer that
// is not YES or NO is asked again at a terminal and taken as NO from a
// script, with a warning. It is an int because va_start
// is undefined for a last named parameter that argument promotion widens,
// as it widens a bool.
bool Confirm(const char* pszFormat, int fDefault, ...)
    __attribute__((format(printf, 1, 3)));

// ---- Command line parser and handler tools --------------------------------

// Splits a command line into the command word (letters and digits, in upper
// case), the qualifier text (every "/WORD" of the line, in upper case, one
// after the other) and up to two parameters (as typed; blanks after a comma
// dropped). The four outputs are cleared first. False, after its message,
// for a line without a command word, a "/" without a word, or a third
// parameter.
bool ParseCommand(std::string_view line, std::string& command,
                  std::string& qualifiers, std::string& param1,
                  std::string& param2);
// A word matches a keyword when its first nLength characters equal the
// keyword's; later characters are not examined.
bool MatchKeyword(std::string_view word, std::string_view keyword, std::size_t nLength);
// True when the qualifier word selects the keyword: its first nLength
// characters agree (later ones are not examined), with *pfFlag set; or
// "NO" and then those characters, with *pfFlag cleared. False (flag
// untouched, nothing printed) otherwise.
bool MatchQualifier(std::string_view qualifier, std::string_view keyword,
                    std::size_t nLength, bool* pfFlag);
// Item nIndex (from 0) of a list; an item may be empty. In a comma list an
// item may be written in double quotes (two double quotes inside stand for
// one); GetListItem gives the item without its quotes, GetQuotedListItem as
// it stands, for a host path that HostPath is to take verbatim. False when
// the list is empty or has no such item, and then the item is left as it
// was.
bool GetListItem(std::string_view list, std::string& item, char separator,
                 unsigned nIndex);
bool GetQuotedListItem(std::string_view list, std::string& item, char separator,
                       unsigned nIndex);
// A text that begins with a double quote is quoted: the quoted run ends at
// the first single double quote, and anything after it is taken as it
// stands. Unquote gives the text the user meant, Quote the quoted form of
// a plain text.
bool IsQuoted(std::string_view text);
std::string Unquote(std::string_view text);
std::string Quote(std::string_view text);
// The end of the quoted run whose opening double quote is at `start`: just
// after its closing quote (a doubled quote inside does not close it), or
// npos when the text ends first.
std::size_t QuotedRunEnd(std::string_view text, std::size_t start);
// Items of a comma list; 0 for an empty text.
unsigned CountListItems(std::string_view parameter);
// False, after "list not allowed", when the parameter holds a comma.
bool CheckNoList(const std::string& parameter);
void ReportUnknownQualifier(const std::string& qualifier);
// Checks that exactly nCount (0, 1 or 2) parameters were given; false after
// "additional parameters required" or "extra parameter(s)".
bool CheckParameterCount(int nCount, std::string_view param1,
                         std::string_view param2);
// False, after its message, when the qualifier text is not empty.
bool CheckNoQualifiers(const std::string& qualifiers);
// A decimal number of at most 32 bits (the empty text gives 0). False for
// anything else, with *pnNumber 0; nothing is printed.
bool ParsePartitionName(std::string_view text, std::uint32_t* pnNumber);

// Host paths. SplitHostPath gives the drive and directory part (up to and
// including the last '\' or '/'), the base name and the extension (from the
// last dot, dot included).
// The end of the drive and directory part of a path (a quoted one keeps
// its quotes off: only "/" separates folders in it).
std::size_t HostDirectoryEnd(std::string_view path, bool fQuoted);
void SplitHostPath(std::string_view path, std::string& directory,
                   std::string& name, std::string& extension);
// The path as this host opens it: every '\' becomes '/', except in a quoted
// path, which is taken verbatim; a path that begins with "~/" (quoted or
// not) starts at $HOME.
std::string HostPath(std::string_view path);
// Whether text matches a wildcard pattern as a whole: "*" any run of
// characters, "?" exactly one, everything else equal without regard to case.
bool MatchWholePattern(std::string_view pattern, std::string_view text);
// Whether a host file name matches a host wildcard pattern by the Windows
// rules (MatchWholePattern, and "*.*" for every name, with or without a dot).
bool MatchHostName(std::string_view pattern, std::string_view name);
// True when the path names an existing host directory.
bool IsHostDirectory(std::string_view path);
// First (fFirst) or next regular file matching a host wildcard pattern ("*"
// and "?" in the name part, letters in either case; "*.*" is every name):
// the directory part of the pattern and the file name, in name order; a
// quoted pattern gives quoted paths. The names are taken when fFirst is
// set; one search at a time. False, without a message, when no (further)
// file matches or the directory cannot be read.
bool FindHostFile(bool fFirst, std::string_view pattern, std::string& path);
// The host's own part of that search: the names of the regular files in
// the directory (as HostPath gives it; empty for the current one) that
// match namePattern by MatchHostName, in any order. Nothing when the
// directory cannot be read.
std::vector<std::string> ListHostFiles(std::string_view directory, std::string_view namePattern);
// The host's reason for the failure of the last host call (errno), for the
// parenthesis at the end of a message.
const char* HostReason(int nError);
