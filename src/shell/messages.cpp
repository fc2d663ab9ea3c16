// Messages, prompts and YES/NO questions. Everything the user sees goes to
// standard error, which is unbuffered, so a prompt shows before its read.
#include <cstdarg>
#include <cstdio>

#include <unistd.h>

#include "shell.h"

namespace {

const char* g_pszProgramName = "";
unsigned long g_nErrors = 0;

// Formats into a 256-byte text; anything beyond 255 characters is cut.
void FormatText(char (&text)[SHELL_TEXT_MAX + 1], const char* pszFormat, va_list args) {
    std::vsnprintf(text, sizeof text, pszFormat, args);
}

}  // namespace

void AbortCommand() { throw CommandAbort{}; }

void SetProgramName(const char* pszName) { g_pszProgramName = pszName; }

const char* GetProgramName() { return g_pszProgramName; }

void Message(char cSeverity, const char* pszFormat, ...) {
    char text[SHELL_TEXT_MAX + 1];
    va_list args;
    va_start(args, pszFormat);
    FormatText(text, pszFormat, args);
    va_end(args);
    std::fprintf(stderr, "%%%s-%c, %s\n", g_pszProgramName, cSeverity, text);
    if (cSeverity == 'E')
        ++g_nErrors;
}

unsigned long GetErrorCount() { return g_nErrors; }

bool PromptLine(const char* pszPrompt, std::string& line) {
    std::fputs(pszPrompt, stderr);
    // The line is read to its end, so that nothing of it is left for the
    // next read; only one character beyond the limit is kept, enough for the
    // caller to see that the line was too long.
    line.clear();
    bool fAny = false;
    for (int c; (c = std::getc(stdin)) != EOF;) {
        fAny = true;
        if (c == '\n')
            return true;
        if (line.size() <= SHELL_TEXT_MAX)
            line += static_cast<char>(c);
    }
    return fAny;
}

bool IsLineTooLong(const std::string& line) { return line.size() > SHELL_TEXT_MAX; }

namespace {

// -1: ask the system; 0 or 1: set by a test.
int g_nInteractiveForTesting = -1;

}  // namespace

bool IsInteractiveInput() {
    if (g_nInteractiveForTesting >= 0)
        return g_nInteractiveForTesting != 0;
    return isatty(STDIN_FILENO) != 0;
}

void SetInteractiveInputForTesting(int nInteractive) { g_nInteractiveForTesting = nInteractive; }

bool ReadCommandLine(std::string& line) {
    char prompt[SHELL_TEXT_MAX + 1];
    std::snprintf(prompt, sizeof prompt, "%s>", g_pszProgramName);
#ifdef ORVA_LINE_EDITING
    if (IsLineEditing())
        return ReadEditedLine(prompt, line);
#endif
    return PromptLine(prompt, line);
}

bool Confirm(const char* pszFormat, int fDefault, ...) {
    char question[SHELL_TEXT_MAX + 1];
    va_list args;
    va_start(args, fDefault);
    FormatText(question, pszFormat, args);
    va_end(args);
    for (;;) {
        std::string answer;
        // The end of input answers no: a script that runs out while a
        // question waits has not agreed to anything.
        if (!PromptLine(question, answer))
            return false;
        if (answer.empty())
            return fDefault;
        if (!IsLineTooLong(answer)) {
            switch (answer[0]) {
            case 'N':
            case 'n':
                return false;
            case 'Y':
            case 'y':
                return true;
            default:
                break;
            }
        }
        // A script cannot be asked again: its next line would be taken as
        // the next answer, and so on through its commands. It is answered
        // no, and only this line is used up.
        if (!IsInteractiveInput()) {
            Message('W', "please answer YES or NO - %s taken as NO", answer.c_str());
            return false;
        }
        Message('W', "please answer YES or NO - %s", answer.c_str());
    }
}
