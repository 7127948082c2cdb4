#include "path_text.h"

#include <string.h>

#include "name_format.h"

#ifdef _WIN32
#include "windows_files.h"
#endif

const char* LastSeparator(const char* pszPath, size_t cch)
{
    const char* pszLast = NULL;
    for (size_t i = 0; i < cch; ++i) {
        if (pszPath[i] == PATH_SEPARATOR)
            pszLast = pszPath + i;
#ifdef _WIN32
        else if (IsDBCSLeadByte(static_cast<BYTE>(pszPath[i])) && i + 1 < cch)
            ++i;  // its second byte, whatever its value
#endif
    }
    return pszLast;
}

const char* NextSeparator(const char* pszFrom)
{
    for (const char* p = pszFrom; *p != '\0'; ++p) {
        if (*p == PATH_SEPARATOR)
            return p;
#ifdef _WIN32
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            ++p;
#endif
    }
    return NULL;
}

const char* FileNamePart(const char* pszPath)
{
    const char* pszSeparator = LastSeparator(pszPath, strlen(pszPath));
    return pszSeparator != NULL ? pszSeparator + 1 : pszPath;
}

// The folder part of a path up to pszSeparator; a root keeps its separator.
bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut)
{
    size_t cch = static_cast<size_t>(pszSeparator - pszPath);
    if (cch == 0 || pszPath[cch - 1] == ':')
        ++cch;  // "/" or "C:\"
    if (cch >= cbOut)
        return false;
    memcpy(pszOut, pszPath, cch);
    pszOut[cch] = '\0';
    return true;
}
