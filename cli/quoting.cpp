#include "quoting.h"

#include "gather.h"
#include "platform.h"
#include "shell_word.h"

namespace {

// A name with every byte quoted, then the quotes and the terminator.
char g_rgszQuoted[QUOTED_NAMES][MAX_PATH * 4 + 3];
int g_iNextQuoted;
char g_szSingleSeparators[MAX_PATH];

bool IsSeparator(char ch) { return ch == '/' || ch == PATH_SEPARATOR; }

}  // namespace

const char* Quoted(const char* pszName)
{
    size_t cch = 0;
    for (const char* p = pszName; *p != '\0' && cch + 1 < sizeof(g_szSingleSeparators); ++p)
        if (p <= pszName + 1 || !IsSeparator(*p) || !IsSeparator(p[-1]))
            g_szSingleSeparators[cch++] = *p;
    g_szSingleSeparators[cch] = '\0';
    char* pszOut = g_rgszQuoted[g_iNextQuoted];
    g_iNextQuoted = (g_iNextQuoted + 1) % QUOTED_NAMES;
    WriteShellWord(g_szSingleSeparators, pszOut, sizeof(g_rgszQuoted[0]));
    return pszOut;
}
