#include "series.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

namespace {

// Stands for the number while the pattern is brought to its full path; a
// control character cannot be part of a name a user can type.
const char kNumberMark = '\x01';

// The level file path with the mark, and that path spelled as asked.
char g_szMarked[MAX_PATH * 2];
char g_szSpelled[FULL_PATH_CAPACITY];
// A path below the series' folder, to identify.
char g_szEntryPath[FULL_PATH_CAPACITY];

// The level file path, the folder, a separator and the format with "%%" as
// '%', with the mark where the number goes. False when it does not fit or a
// text holds the mark itself, which could stand in for a lost number.
bool BuildMarkedPattern(const char* pszFolder, const NameFormat* pFmt, char* pszOut, size_t cbOut)
{
    const char* pszFormat = pFmt->szText;
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
    if (!AppendAsNameText(pszOut, &cch, cbOut, pszFormat, static_cast<size_t>(pFmt->nConvStart)) || cch + 1 >= cbOut)
        return false;
    pszOut[cch++] = kNumberMark;
    pszOut[cch] = '\0';
    return AppendAsNameText(pszOut, &cch, cbOut, pszAfter, strlen(pszAfter));
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

bool ToText(const char* psz, size_t cch, NameChar* pOut, size_t* pcch)
{
    return ToNameText(psz, cch, pOut, FULL_PATH_CAPACITY, pcch);
}

// Reads the number a conversion would have written: padding spaces, an
// optional 0x, then digits. Returns 0 when the text is no such number.
int ReadLevelNumber(const NameChar* pch, size_t cch, char chConv)
{
    size_t i = 0;
    while (i < cch && pch[i] == ' ')
        ++i;
    int nBase = 10;
    if (chConv == 'x' || chConv == 'X') {
        nBase = 16;
        if (i + 1 < cch && pch[i] == '0' && (pch[i + 1] == 'x' || pch[i + 1] == 'X'))
            i += 2;
    }
    long long llValue = 0;
    size_t cDigits = 0;
    for (; i < cch; ++i, ++cDigits) {
        int nDigit = DigitValue(pch[i], nBase);
        if (nDigit < 0)
            break;
        llValue = llValue * nBase + nDigit;
        if (llValue > INT_MAX)
            return 0;
    }
    while (i < cch && pch[i] == ' ')
        ++i;
    if (i != cch || cDigits == 0)
        return 0;
    return static_cast<int>(llValue);
}

}  // namespace

GatherFailure MakeSeries(const char* pszFolder, const NameFormat* pFmt, SeriesSpelling spelling, Series* pSeries)
{
    pSeries->pFmt = pFmt;
    if (!BuildMarkedPattern(pszFolder, pFmt, g_szMarked, sizeof(g_szMarked)) ||
        !(spelling == SPELLED_FULL ? FullPath(g_szMarked, g_szSpelled, sizeof(g_szSpelled))
                                   : ResolvablePath(g_szMarked, g_szSpelled, sizeof(g_szSpelled))))
        return GATHER_OUTPUT_UNDECIDED;
    // The mark must survive: a ".." after the number would make every
    // number name the same file.
    const char* pszMark = strchr(g_szSpelled, kNumberMark);
    if (pszMark == NULL)
        return GATHER_NUMBER_LOST;
    const char* pszSeparator = LastSeparator(g_szSpelled, static_cast<size_t>(pszMark - g_szSpelled));
    const char* pszBelow = NextSeparator(pszMark + 1);
    if (pszBelow == NULL)
        pszBelow = pszMark + strlen(pszMark);
    if (pszSeparator == NULL || HasParentStep(pszBelow))
        return GATHER_NUMBER_LOST;

    size_t cchLead = static_cast<size_t>(pszSeparator + 1 - g_szSpelled);
    size_t cchBelow = strlen(pszBelow);
    // The folder stands in the middle of the level files' paths: identities
    // and listings must read it as they do.
    bool fMade = CopyFolderPart(g_szSpelled, pszSeparator, g_szEntryPath, sizeof(g_szEntryPath)) &&
                 (spelling == SPELLED_FULL ? snprintf(pSeries->szFolder, sizeof(pSeries->szFolder), "%s", g_szEntryPath) <
                                                 static_cast<int>(sizeof(pSeries->szFolder))
                                           : FolderAsOpened(g_szEntryPath, pSeries->szFolder, sizeof(pSeries->szFolder))) &&
                 cchBelow < sizeof(pSeries->szBelow) && ToText(g_szSpelled, cchLead, pSeries->rgchLead, &pSeries->cchLead) &&
                 ToText(pszSeparator + 1, static_cast<size_t>(pszMark - pszSeparator - 1), pSeries->rgchHead,
                        &pSeries->cchHead) &&
                 ToText(pszMark + 1, static_cast<size_t>(pszBelow - pszMark - 1), pSeries->rgchTail, &pSeries->cchTail) &&
                 ToText(pszBelow, cchBelow, pSeries->rgchBelow, &pSeries->cchBelow);
    if (!fMade)
        return GATHER_OUTPUT_UNDECIDED;
    memcpy(pSeries->szBelow, pszBelow, cchBelow + 1);
    return GATHER_OK;
}

int SeriesNumberOfName(const Series* pSeries, const NameChar* pch, size_t cch, bool fEndsThePath)
{
    if (cch <= pSeries->cchHead + pSeries->cchTail || !NameTextEqual(pch, pSeries->rgchHead, pSeries->cchHead) ||
        !NameTextEqual(pch + cch - pSeries->cchTail, pSeries->rgchTail, pSeries->cchTail))
        return 0;
    const NameChar* pchNumber = pch + pSeries->cchHead;
    size_t cchNumber = cch - pSeries->cchHead - pSeries->cchTail;
    int nLevel = ReadLevelNumber(pchNumber, cchNumber, pSeries->pFmt->chConv);
    if (nLevel < 1)
        return 0;

    // Only the format's own spelling of that number names the file.
    char szNumber[MAX_PATH];
    if (!ExpandConversion(pSeries->pFmt, nLevel, szNumber, sizeof(szNumber)))
        return 0;
    size_t cchExpanded = strlen(szNumber);
    while (kNamesLoseTrailingSpaces && fEndsThePath && pSeries->cchTail == 0 && cchExpanded > 0 &&
           szNumber[cchExpanded - 1] == ' ')
        --cchExpanded;
    NameChar rgchNumber[MAX_PATH];
    size_t cchNumberText;
    if (!ToNameText(szNumber, cchExpanded, rgchNumber, MAX_PATH, &cchNumberText) || cchNumberText != cchNumber ||
        !NameTextEqual(rgchNumber, pchNumber, cchNumber))
        return 0;
    return nLevel;
}

int SeriesNumberOfPath(const Series* pSeries, const NameChar* pch, size_t cch)
{
    if (cch < pSeries->cchLead + pSeries->cchBelow || !NameTextEqual(pch, pSeries->rgchLead, pSeries->cchLead) ||
        !NameTextEqual(pch + cch - pSeries->cchBelow, pSeries->rgchBelow, pSeries->cchBelow))
        return 0;
    return SeriesNumberOfName(pSeries, pch + pSeries->cchLead, cch - pSeries->cchLead - pSeries->cchBelow,
                              pSeries->cchBelow == 0);
}

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

bool SeriesEntryPath(const Series* pSeries, const char* pszEntry, char* pszOut, size_t cbOut)
{
    int cch = snprintf(pszOut, cbOut, "%s%c%s%s", pSeries->szFolder, PATH_SEPARATOR, pszEntry, pSeries->szBelow);
    return cch > 0 && static_cast<size_t>(cch) < cbOut;
}

bool IdentifySeriesEntry(const Series* pSeries, const char* pszEntry, FileIdentity* pId)
{
    errno = 0;
    return SeriesEntryPath(pSeries, pszEntry, g_szEntryPath, sizeof(g_szEntryPath)) && IdentifyPath(g_szEntryPath, pId);
}
