#include "series_pattern.h"

#include <string.h>

#include "path_text.h"

namespace {

// Copies format text, turning "%%" into '%'.
bool AppendLiteral(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, int cchFrom)
{
    for (int i = 0; i < cchFrom; ++i) {
        if (pszFrom[i] == '%' && pszFrom[i + 1] == '%')
            ++i;
        if (*pcch + 1 >= cbOut)
            return false;
        pszOut[(*pcch)++] = pszFrom[i];
    }
    pszOut[*pcch] = '\0';
    return true;
}

// A ".." step in the path below the number: every number would name the
// same file.
bool HasParentStep(const char* pszPath)
{
    for (const char* p = pszPath; (p = strstr(p, "..")) != NULL; p += 2)
        if ((p == pszPath || p[-1] == PATH_SEPARATOR) && (p[2] == '\0' || p[2] == PATH_SEPARATOR))
            return true;
    return false;
}

}  // namespace

bool BuildMarkedPattern(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                        char* pszOut, size_t cbOut)
{
    // A mark in the texts themselves could stand in for a lost number.
    if (strchr(pszFolder, kNumberMark) != NULL || strchr(pszFormat, kNumberMark) != NULL)
        return false;
    size_t cchFolder = strlen(pszFolder);
    if (cchFolder + 2 >= cbOut)
        return false;
    memcpy(pszOut, pszFolder, cchFolder);
    size_t cch = cchFolder;
    pszOut[cch++] = PATH_SEPARATOR;
    pszOut[cch] = '\0';
    const char* pszAfter = pszFormat + pFmt->nConvStart + pFmt->nConvLength;
    if (!AppendLiteral(pszOut, &cch, cbOut, pszFormat, pFmt->nConvStart) || cch + 1 >= cbOut)
        return false;
    pszOut[cch++] = kNumberMark;
    pszOut[cch] = '\0';
    return AppendLiteral(pszOut, &cch, cbOut, pszAfter, static_cast<int>(strlen(pszAfter)));
}

SeriesSplit SplitMarkedPattern(const char* pszPattern, const char* pszFormat, const NameFormat* pFmt,
                               char* pszFolder, size_t cbFolder, NumberedName* pName, const char** ppszRest)
{
    const char* pszMark = strchr(pszPattern, kNumberMark);
    const char* pszSeparator = LastSeparator(pszPattern, static_cast<size_t>(pszMark - pszPattern));
    const char* pszRest = NextSeparator(pszMark + 1);
    if (pszRest == NULL)
        pszRest = pszMark + strlen(pszMark);
    *ppszRest = pszRest;
    if (pszSeparator == NULL || HasParentStep(pszRest))
        return SPLIT_NUMBER_LOST;
    if (!CopyFolderPart(pszPattern, pszSeparator, pszFolder, cbFolder) ||
        !MakeNumberedName(pszSeparator + 1, static_cast<size_t>(pszMark - pszSeparator - 1), pszMark + 1,
                          static_cast<size_t>(pszRest - pszMark - 1), pszFormat, pFmt, pName))
        return SPLIT_FAILED;
    return SPLIT_DONE;
}
