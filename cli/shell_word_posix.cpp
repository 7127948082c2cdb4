// A POSIX shell: single quotes, a quote inside written '\'', as coreutils
// writes file names in its messages.
#include "shell_word.h"

#include <string.h>

namespace {

bool NeedsQuotes(const char* pszName)
{
    if (pszName[0] == '\0' || pszName[0] == '~' || pszName[0] == '#')
        return true;
    for (const char* p = pszName; *p != '\0'; ++p) {
        unsigned char ch = static_cast<unsigned char>(*p);
        if (ch < 0x20 || ch == 0x7f || strchr(" \"'\\$`*?[](){}<>|&;!", *p) != NULL)
            return true;
    }
    return false;
}

}  // namespace

void WriteShellWord(const char* pszName, char* pszOut, size_t cbOut)
{
    bool fQuote = NeedsQuotes(pszName);
    size_t cch = 0;
    if (fQuote)
        pszOut[cch++] = '\'';
    // Each byte takes at most four, then a quote and the terminator.
    for (const char* p = pszName; *p != '\0' && cch + 6 <= cbOut; ++p) {
        if (*p == '\'') {
            memcpy(pszOut + cch, "'\\''", 4);
            cch += 4;
        } else {
            pszOut[cch++] = *p;
        }
    }
    if (fQuote)
        pszOut[cch++] = '\'';
    pszOut[cch] = '\0';
}
