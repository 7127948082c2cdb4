// Tries each leading part of the format's folder names against the end of
// the folder, shortest first, and takes the first whose rest names a level
// file 1 that is there: the folder decides, not the texts alone.
#include "repeated_folder.h"

#include <string.h>

namespace {

char g_szLevelOne[FULL_PATH_CAPACITY];

// Where the last name of the first cch bytes of psz starts.
size_t LastNameStart(const char* psz, size_t cch)
{
    const char* pSeparator = LastSeparator(psz, cch);
    return pSeparator != NULL ? static_cast<size_t>(pSeparator + 1 - psz) : 0;
}

// Whether the folder's last names are those of the cchNames bytes of
// pszNames, each as the file system compares names.
bool EndsWithNames(const char* pszFolder, const char* pszNames, size_t cchNames)
{
    size_t cchFolder = strlen(pszFolder);
    while (cchFolder > 1 && LastSeparator(pszFolder, cchFolder) == pszFolder + cchFolder - 1)
        --cchFolder;  // "samples/" ends in samples
    for (;;) {
        size_t iName = LastNameStart(pszNames, cchNames);
        size_t iFolder = LastNameStart(pszFolder, cchFolder);
        if (!SameName(pszFolder + iFolder, cchFolder - iFolder, pszNames + iName, cchNames - iName))
            return false;
        if (iName == 0)
            return true;
        if (iFolder == 0)
            return false;
        cchNames = iName - 1;
        cchFolder = iFolder - 1;
    }
}

}  // namespace

bool FindRepeatedFolder(const GatherRun* pRun, RepeatedFolder* pRepeated)
{
    if (!pRun->fJudged)
        return false;
    const char* pszText = pRun->format.szText;
    const char* pszConversion = pszText + pRun->format.nConvStart;
    for (const char* pSeparator = NextSeparator(pszText); pSeparator != NULL && pSeparator < pszConversion;
         pSeparator = NextSeparator(pSeparator + 1)) {
        size_t cchNames = 0;
        FileIdentity id;
        if (AppendAsNameText(pRepeated->szNames, &cchNames, sizeof(pRepeated->szNames), pszText,
                             static_cast<size_t>(pSeparator - pszText)) &&
            cchNames > 0 && EndsWithNames(pRun->series.szGiven, pRepeated->szNames, cchNames) &&
            CheckNameFormat(pSeparator + 1, &pRepeated->format) == GATHER_OK &&
            ExpandLevelName(pRun->series.szGiven, &pRepeated->format, 1, g_szLevelOne, sizeof(g_szLevelOne)) &&
            IdentifyPath(g_szLevelOne, &id) && !id.fDirectory)
            return true;
    }
    return false;
}
