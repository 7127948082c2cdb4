#include "quoting.h"

#include <string.h>

#include "platform.h"
#include "shell_word.h"

namespace {

bool IsControl(char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f; }

// Names as the shell reads them back: a name of a run's length, every byte
// at its longest (a control character), the quotes and the terminator.
struct QuotedNames {
    char rgsz[QUOTED_NAMES][FULL_PATH_CAPACITY * (SHELL_CONTROL_CAPACITY - 1) + 3];
    int iNext;
} g_quoted;

bool NeedsQuotes(const char* pszName)
{
    if (pszName[0] == '\0' || strchr(kShellSpecialsFirst, pszName[0]) != NULL)
        return true;
    for (const char* p = pszName; *p != '\0'; ++p)
        if (IsControl(*p) || strchr(kShellSpecials, *p) != NULL)
            return true;
    return false;
}

}  // namespace

const char* Quoted(const char* pszName)
{
    char* pszOut = g_quoted.rgsz[g_quoted.iNext];
    g_quoted.iNext = (g_quoted.iNext + 1) % QUOTED_NAMES;
    bool fQuote = NeedsQuotes(pszName);
    size_t cch = 0;
    if (fQuote)
        pszOut[cch++] = kShellQuote;
    for (const char* p = pszName; *p != '\0'; ++p) {
        char szPiece[SHELL_CONTROL_CAPACITY] = {*p, '\0'};
        if (IsControl(*p))
            ShellControl(static_cast<unsigned char>(*p), szPiece);
        const char* pszPiece = *p == kShellQuote && kShellQuotedQuote[0] != '\0' ? kShellQuotedQuote : szPiece;
        size_t cchPiece = strlen(pszPiece);
        if (cch + cchPiece + 2 > sizeof(g_quoted.rgsz[0]))
            break;  // longer than any name of a run
        memcpy(pszOut + cch, pszPiece, cchPiece);
        cch += cchPiece;
    }
    if (fQuote)
        pszOut[cch++] = kShellQuote;
    pszOut[cch] = '\0';
    return pszOut;
}
