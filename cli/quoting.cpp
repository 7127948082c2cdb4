#include "quoting.h"

#include <string.h>

#include "gather.h"
#include "platform.h"
#include "shell_word.h"

namespace {

// A name with every byte quoted, then the quotes and the terminator.
char g_rgszQuoted[QUOTED_NAMES][MAX_PATH * 4 + 3];
int g_iNextQuoted;

bool IsSeparator(char ch) { return ch == '/' || ch == PATH_SEPARATOR; }

bool NeedsQuotes(const char* pszName)
{
    if (pszName[0] == '\0' || strchr(kShellSpecialsFirst, pszName[0]) != NULL)
        return true;
    for (const char* p = pszName; *p != '\0'; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f || strchr(kShellSpecials, *p) != NULL)
            return true;
    return false;
}

}  // namespace

const char* Quoted(const char* pszName)
{
    char* pszOut = g_rgszQuoted[g_iNextQuoted];
    g_iNextQuoted = (g_iNextQuoted + 1) % QUOTED_NAMES;
    bool fQuote = NeedsQuotes(pszName);
    size_t cch = 0;
    if (fQuote)
        pszOut[cch++] = kShellQuote;
    // Each byte takes at most four, then a quote and the terminator.
    for (const char* p = pszName; *p != '\0' && cch + 6 <= sizeof(g_rgszQuoted[0]); ++p) {
        if (p > pszName + 1 && IsSeparator(*p) && IsSeparator(p[-1]))
            continue;
        if (*p == kShellQuote && kShellQuotedQuote[0] != '\0') {
            memcpy(pszOut + cch, kShellQuotedQuote, strlen(kShellQuotedQuote));
            cch += strlen(kShellQuotedQuote);
        } else {
            pszOut[cch++] = *p;
        }
    }
    if (fQuote)
        pszOut[cch++] = kShellQuote;
    pszOut[cch] = '\0';
    return pszOut;
}
