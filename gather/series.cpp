#include "series.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Stands for the number while the pattern is brought to its full path; a
// control character cannot be part of a name a user can type.
const char kNumberMark = '\x01';

// What building a series works in: the level file path with the mark, that
// path spelled one way or the other, and a path below the series' folder.
struct SeriesBuffers {
    char szMarked[MAX_PATH * 2];
    char szSpelled[FULL_PATH_CAPACITY];
    char szEntryPath[FULL_PATH_CAPACITY];
} g_series;

// The level file path, the folder, a separator and the format with "%%" as
// '%', with the mark where the number goes. False when it does not fit or a
// text holds the mark itself, which could stand in for a lost number.
bool BuildMarkedPattern(const char* pszFolder, const NameFormat* pFmt, char* pszOut, size_t cbOut)
{
    const char* pszFormat = pFmt->szText;
    if (strchr(pszFolder, kNumberMark) != NULL || strchr(pszFormat, kNumberMark) != NULL)
        return false;
    size_t cch;
    if (!StartLevelPath(pszFolder, pszOut, cbOut, &cch))
        return false;
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
        if ((p == pszPath || LastSeparator(pszPath, static_cast<size_t>(p - pszPath)) == p - 1) &&
            (p[2] == '\0' || NextSeparator(p + 2) == p + 2))
            return true;
    return false;
}

bool ToText(const char* psz, size_t cch, NameChar* pOut, size_t* pcch)
{
    return ToNameText(psz, cch, pOut, FULL_PATH_CAPACITY, pcch);
}

// Reads the number a conversion would have written: padding spaces, an
// optional 0x, digits, padding spaces. Returns 0 when the text is no such
// number; whether the format spells it so is the caller's to check.
int ReadLevelNumber(const NameChar* pch, size_t cch, char chConv)
{
    char szNumber[MAX_PATH];  // only ASCII can be a digit, a space or an x
    if (cch >= sizeof(szNumber))
        return 0;
    for (size_t i = 0; i < cch; ++i) {
        if (pch[i] == 0 || static_cast<unsigned>(pch[i]) > 0x7f)
            return 0;
        szNumber[i] = static_cast<char>(pch[i]);
    }
    szNumber[cch] = '\0';
    char* pszEnd;
    long long llValue = strtoll(szNumber, &pszEnd, chConv == 'x' || chConv == 'X' ? 16 : 10);
    while (*pszEnd == ' ')
        ++pszEnd;
    return *pszEnd == '\0' && llValue >= 1 && llValue <= INT_MAX ? static_cast<int>(llValue) : 0;
}

// Splits one spelling of the marked path into *pPath; with pSeries, the
// folder and the path below into it too, the folder spelled as it is opened
// in the middle of a path.
GatherFailure SplitSpelling(const char* pszSpelled, SeriesPath* pPath, Series* pSeries)
{
    // The mark must survive: a ".." after the number would make every
    // number name the same file.
    const char* pszMark = strchr(pszSpelled, kNumberMark);
    if (pszMark == NULL)
        return GATHER_NUMBER_LOST;
    const char* pszSeparator = LastSeparator(pszSpelled, static_cast<size_t>(pszMark - pszSpelled));
    const char* pszBelow = NextSeparator(pszMark + 1);
    if (pszBelow == NULL)
        pszBelow = pszMark + strlen(pszMark);
    if (pszSeparator == NULL || HasParentStep(pszBelow))
        return GATHER_NUMBER_LOST;
    size_t cchBelow = strlen(pszBelow);
    bool fMade = ToText(pszSpelled, static_cast<size_t>(pszSeparator + 1 - pszSpelled), pPath->rgchLead, &pPath->cchLead) &&
                 ToText(pszSeparator + 1, static_cast<size_t>(pszMark - pszSeparator - 1), pPath->rgchHead, &pPath->cchHead) &&
                 ToText(pszMark + 1, static_cast<size_t>(pszBelow - pszMark - 1), pPath->rgchTail, &pPath->cchTail) &&
                 ToText(pszBelow, cchBelow, pPath->rgchBelow, &pPath->cchBelow);
    if (pSeries != NULL) {
        // The folder stands in the middle of the level files' paths:
        // identities and listings must read it as they do.
        fMade = fMade && cchBelow < sizeof(pSeries->szBelow) &&
                CopyFolderPart(pszSpelled, pszSeparator, g_series.szEntryPath, sizeof(g_series.szEntryPath)) &&
                FolderAsOpened(g_series.szEntryPath, pSeries->szFolder, sizeof(pSeries->szFolder));
        if (fMade)
            memcpy(pSeries->szBelow, pszBelow, cchBelow + 1);
    }
    return fMade ? GATHER_OK : GATHER_OUTPUT_UNDECIDED;
}

// The number of a name of one spelling's numbered part, 0 for none.
int NumberOfName(const Series* pSeries, const SeriesPath* pPath, const NameChar* pch, size_t cch, bool fEndsThePath)
{
    if (cch <= pPath->cchHead + pPath->cchTail || !NameTextEqual(pch, pPath->rgchHead, pPath->cchHead) ||
        !NameTextEqual(pch + cch - pPath->cchTail, pPath->rgchTail, pPath->cchTail))
        return 0;
    const NameChar* pchNumber = pch + pPath->cchHead;
    size_t cchNumber = cch - pPath->cchHead - pPath->cchTail;
    int nLevel = ReadLevelNumber(pchNumber, cchNumber, pSeries->pFmt->chConv);
    if (nLevel < 1)
        return 0;

    // Only the format's own spelling of that number names the file.
    char szNumber[MAX_PATH];
    if (!ExpandConversion(pSeries->pFmt, nLevel, szNumber, sizeof(szNumber)))
        return 0;
    size_t cchExpanded = strlen(szNumber);
    while (kNamesLoseTrailingSpaces && fEndsThePath && pPath->cchTail == 0 && cchExpanded > 0 &&
           szNumber[cchExpanded - 1] == ' ')
        --cchExpanded;
    NameChar rgchNumber[MAX_PATH];
    size_t cchNumberText;
    if (!ToNameText(szNumber, cchExpanded, rgchNumber, MAX_PATH, &cchNumberText) || cchNumberText != cchNumber ||
        !NameTextEqual(rgchNumber, pchNumber, cchNumber))
        return 0;
    return nLevel;
}

}  // namespace

GatherFailure MakeSeries(const char* pszFolder, const NameFormat* pFmt, Series* pSeries)
{
    pSeries->pFmt = pFmt;
    if (snprintf(pSeries->szGiven, sizeof(pSeries->szGiven), "%s", pszFolder) >= static_cast<int>(sizeof(pSeries->szGiven)) ||
        !BuildMarkedPattern(pszFolder, pFmt, g_series.szMarked, sizeof(g_series.szMarked)) ||
        !FullPath(g_series.szMarked, g_series.szSpelled, sizeof(g_series.szSpelled)))
        return GATHER_OUTPUT_UNDECIDED;
    GatherFailure failure = SplitSpelling(g_series.szSpelled, &pSeries->byText, NULL);
    if (failure != GATHER_OK)
        return failure;
    if (!ResolvablePath(g_series.szMarked, g_series.szSpelled, sizeof(g_series.szSpelled)))
        return GATHER_OUTPUT_UNDECIDED;
    return SplitSpelling(g_series.szSpelled, &pSeries->onDisk, pSeries);
}

int SeriesNumberOfName(const Series* pSeries, const NameChar* pch, size_t cch, bool fEndsThePath)
{
    return NumberOfName(pSeries, &pSeries->onDisk, pch, cch, fEndsThePath);
}

int SeriesNumberOfPath(const Series* pSeries, const NameChar* pch, size_t cch)
{
    const SeriesPath* pPath = &pSeries->byText;
    if (cch < pPath->cchLead + pPath->cchBelow || !NameTextEqual(pch, pPath->rgchLead, pPath->cchLead) ||
        !NameTextEqual(pch + cch - pPath->cchBelow, pPath->rgchBelow, pPath->cchBelow))
        return 0;
    return NumberOfName(pSeries, pPath, pch + pPath->cchLead, cch - pPath->cchLead - pPath->cchBelow,
                        pPath->cchBelow == 0);
}

bool SeriesEntryPath(const Series* pSeries, const char* pszEntry, char* pszOut, size_t cbOut)
{
    int cch = snprintf(pszOut, cbOut, "%s%c%s%s", pSeries->szFolder, PATH_SEPARATOR, pszEntry, pSeries->szBelow);
    return cch > 0 && static_cast<size_t>(cch) < cbOut;
}

bool IdentifySeriesEntry(const Series* pSeries, const char* pszEntry, FileIdentity* pId)
{
    errno = 0;
    return SeriesEntryPath(pSeries, pszEntry, g_series.szEntryPath, sizeof(g_series.szEntryPath)) &&
           IdentifyPath(g_series.szEntryPath, pId);
}
