// cmd.exe: double quotes around a name that holds a character it reads
// otherwise (the ones its own file name completion quotes). A Windows file
// name holds no double quote. A % is left as it is: quotes do not keep
// cmd.exe from reading it.
#include "shell_word.h"

#include <string.h>

namespace {

bool NeedsQuotes(const char* pszName)
{
    if (pszName[0] == '\0')
        return true;
    for (const char* p = pszName; *p != '\0'; ++p) {
        unsigned char ch = static_cast<unsigned char>(*p);
        if (ch < 0x20 || strchr(" &()[]{}^=;!'+,`~<>|", *p) != NULL)
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
        pszOut[cch++] = '"';
    for (const char* p = pszName; *p != '\0' && cch + 3 <= cbOut; ++p)
        pszOut[cch++] = *p;
    if (fQuote)
        pszOut[cch++] = '"';
    pszOut[cch] = '\0';
}
