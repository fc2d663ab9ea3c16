// The orva console kit: messages and questions, the command-line parser
// and the host tools every module uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Command lines, words, parameters, list items and formatted texts hold at
// most this many characters.
inline constexpr std::size_t SHELL_TEXT_MAX = 255;

// Thrown to abandon the command in progress after its error has been
// reported (a device fault, a damaged directory). Only the command loop
// catches it; every host file is closed on the way out by its owner.
struct CommandAbort {};
[[noreturn]] void AbortCommand();

// ---- Messages and prompts -------------------------------------------------

// Stores the pointer; the text must live for the whole run.
void SetProgramName(const char* pszName);
const char* GetProgramName();

// One line on standard error: "%NAME-S, text". The text is cut at 255
// characters.
void Message(char cSeverity, const char* pszFormat, ...)
    __attribute__((format(printf, 2, 3)));

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

// PromptLine with the prompt "NAME>".
bool ReadCommandLine(std::string& line);

// Asks a YES/NO question (the format ends in " ?"). An empty answer gives
// fDefault (true or false); the end of input gives NO. Any other answer that
// is not YES or NO is asked again at a terminal and taken as NO from a
// script, with a warning. It is an int because va_start
// is undefined for a last named parameter that argument promotion widens,
// as it widens a bool.
bool Confirm(const char* pszFormat, int fDefault, ...)
    __attribute__((format(printf, 1, 3)));

// ---- Command line parser and handler tools --------------------------------

bool ParseCommand(std::string_view line, std::string& command,
                  std::string& qualifiers, std::string& param1,
                  std::string& param2);
// A word matches a keyword when its first nLength characters equal the
// keyword's; later characters are not examined.
bool MatchKeyword(std::string_view word, std::string_view keyword, std::size_t nLength);
// MatchKeyword for a qualifier that may carry a NO prefix: on a match
// *pfFlag is set (false with NO) and true is returned.
bool MatchQualifier(std::string_view qualifier, std::string_view keyword,
                    std::size_t nLength, bool* pfFlag);
bool GetListItem(std::string_view list, std::string& item, char separator,
                 unsigned nIndex);
unsigned CountListItems(std::string_view parameter);
bool CheckNoList(const std::string& parameter);
void ReportUnknownQualifier(const std::string& qualifier);
bool CheckParameterCount(int nCount, std::string_view param1,
                         std::string_view param2);
bool CheckNoQualifiers(const std::string& qualifiers);
bool ParsePartitionName(std::string_view text, std::uint32_t* pnNumber);

// Host paths. SplitHostPath gives the drive and directory part (up to and
// including the last '\' or '/'), the base name and the extension (from the
// last dot, dot included).
void SplitHostPath(std::string_view path, std::string& directory,
                   std::string& name, std::string& extension);
// The path as this host opens it: every '\' becomes '/'.
std::string HostPath(std::string_view path);
// True when the path names an existing host directory.
bool IsHostDirectory(std::string_view path);
// First (fFirst) or next regular file matching a host wildcard pattern.
bool FindHostFile(bool fFirst, std::string_view pattern, std::string& path);
