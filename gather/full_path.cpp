#include "full_path.h"

#include <stdlib.h>
#include <string.h>

#ifndef _WIN32
#include <limits.h>
#include <unistd.h>
#endif

#ifdef _WIN32

bool FullPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    return _fullpath(pszOut, pszPath, cbOut) != NULL;
}

#else

namespace {

// Appends pszText to pszOut (holding cchOut characters); false when full.
bool Append(char* pszOut, size_t* pcchOut, size_t cbOut, const char* pszText, size_t cchText)
{
    if (*pcchOut + cchText >= cbOut)
        return false;
    memcpy(pszOut + *pcchOut, pszText, cchText);
    *pcchOut += cchText;
    pszOut[*pcchOut] = '\0';
    return true;
}

// Absolute path with ".", ".." and doubled slashes removed, by text alone.
bool LexicalPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    char szAbs[PATH_MAX * 2];
    size_t cchAbs = 0;
    szAbs[0] = '\0';
    if (pszPath[0] != '/') {
        char szCwd[PATH_MAX];
        if (getcwd(szCwd, sizeof(szCwd)) == NULL)
            return false;
        if (!Append(szAbs, &cchAbs, sizeof(szAbs), szCwd, strlen(szCwd)) ||
            !Append(szAbs, &cchAbs, sizeof(szAbs), "/", 1))
            return false;
    }
    if (!Append(szAbs, &cchAbs, sizeof(szAbs), pszPath, strlen(pszPath)))
        return false;

    size_t cchOut = 0;
    pszOut[0] = '\0';
    for (const char* p = szAbs; *p != '\0';) {
        while (*p == '/')
            ++p;
        const char* pEnd = p;
        while (*pEnd != '\0' && *pEnd != '/')
            ++pEnd;
        size_t cch = static_cast<size_t>(pEnd - p);
        if (cch == 0 || (cch == 1 && p[0] == '.')) {
            // nothing
        } else if (cch == 2 && p[0] == '.' && p[1] == '.') {
            while (cchOut > 0 && pszOut[cchOut - 1] != '/')
                --cchOut;
            if (cchOut > 0)
                --cchOut;
            pszOut[cchOut] = '\0';
        } else if (!Append(pszOut, &cchOut, cbOut, "/", 1) || !Append(pszOut, &cchOut, cbOut, p, cch)) {
            return false;
        }
        p = pEnd;
    }
    if (cchOut == 0)
        return Append(pszOut, &cchOut, cbOut, "/", 1);
    return true;
}

}  // namespace

bool FullPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    char szLexical[PATH_MAX * 2];
    if (!LexicalPath(pszPath, szLexical, sizeof(szLexical)))
        return false;

    // Resolve the longest leading part that exists; keep the rest as text.
    size_t cchPrefix = strlen(szLexical);
    char szReal[PATH_MAX];
    for (;;) {
        char chSaved = szLexical[cchPrefix];
        szLexical[cchPrefix] = '\0';
        bool fResolved = realpath(cchPrefix == 0 ? "/" : szLexical, szReal) != NULL;
        szLexical[cchPrefix] = chSaved;
        if (fResolved)
            break;
        if (cchPrefix == 0)
            return false;
        while (cchPrefix > 0 && szLexical[cchPrefix - 1] != '/')
            --cchPrefix;
        if (cchPrefix > 0)
            --cchPrefix;
    }
    size_t cchOut = 0;
    pszOut[0] = '\0';
    const char* pszRest = szLexical + cchPrefix;
    size_t cchReal = strlen(szReal);
    if (cchReal == 1 && pszRest[0] == '/')
        cchReal = 0;  // the root: the rest brings its own slash
    return Append(pszOut, &cchOut, cbOut, szReal, cchReal) &&
           Append(pszOut, &cchOut, cbOut, pszRest, strlen(pszRest));
}

#endif
