// Messages, prompts and YES/NO questions. Everything the user sees goes to
// standard error, which is unbuffered, so a prompt shows before its read.
#include <cstdarg>
#include <cstdio>

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
    char buffer[SHELL_TEXT_MAX + 1];
    if (std::fgets(buffer, sizeof buffer, stdin) == nullptr)
        return false;
    line = buffer;
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
    } else if (line.size() == SHELL_TEXT_MAX) {
        // The buffer is full. When the typed line had exactly 255
        // characters its newline is still waiting: take it now, or it would
        // come back as an empty line at the next prompt (and answer the
        // next question with its default). Longer lines keep their rest
        // for the following reads.
        int c = std::getc(stdin);
        if (c != '\n' && c != EOF)
            std::ungetc(c, stdin);
    }
    return true;
}

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
        if (!PromptLine(question, answer) || answer.empty())
            return fDefault;
        switch (answer[0]) {
        case 'N':
        case 'n':
            return false;
        case 'Y':
        case 'y':
            return true;
        default:
            Message('W', "please answer YES or NO - %s", answer.c_str());
        }
    }
}
