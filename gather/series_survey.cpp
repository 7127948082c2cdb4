#include "series_survey.h"

#include <stdio.h>
#include <string.h>

#include "file_identity.h"
#include "folder_listing.h"
#include "series_pattern.h"

namespace {

struct Survey {
    const char* pszFolder;  // the folder that holds the numbered names
    const char* pszRest;    // the path below a numbered name
    int nEnd;
    int cFiles;
    int nFirst;
    int nLast;
};

// Working buffers of one survey, too large for a small stack.
char g_szMarked[MAX_PATH * 2];
char g_szSeriesFolder[NAME_TEXT_CAPACITY];
char g_szEntryPath[NAME_TEXT_CAPACITY];
NumberedName g_numbered;
NameChar g_rgchEntry[NAME_TEXT_CAPACITY];

void CountEntry(const char* pszName, void* pContext)
{
    Survey* pSurvey = static_cast<Survey*>(pContext);
    size_t cch;
    if (!ToNameText(pszName, strlen(pszName), g_rgchEntry, NAME_TEXT_CAPACITY, &cch))
        return;
    int nLevel = LevelNumberOf(&g_numbered, g_rgchEntry, cch);
    if (nLevel <= pSurvey->nEnd)
        return;
    // Only a file is a level: not a folder of that name, nor one that lacks
    // the path below the number.
    int cchPath = snprintf(g_szEntryPath, sizeof(g_szEntryPath), "%s%c%s%s", pSurvey->pszFolder, PATH_SEPARATOR,
                           pszName, pSurvey->pszRest);
    FileIdentity id;
    if (cchPath <= 0 || static_cast<size_t>(cchPath) >= sizeof(g_szEntryPath) ||
        !IdentifyPath(g_szEntryPath, &id) || id.fDirectory)
        return;
    if (pSurvey->cFiles++ == 0 || nLevel < pSurvey->nFirst)
        pSurvey->nFirst = nLevel;
    if (nLevel > pSurvey->nLast)
        pSurvey->nLast = nLevel;
}

// The format expanded alone, as a name within the folder.
void NameOfLevel(const char* pszFormat, int nLevel, char* pszOut, size_t cbOut)
{
    (void)snprintf(pszOut, cbOut, pszFormat, nLevel);  // a checked format: one int
}

}  // namespace

bool FindSeriesBeyond(const char* pszFolder, const char* pszFormat, int nEnd, SeriesBeyond* pBeyond)
{
    NameFormat fmt;
    Survey survey = {g_szSeriesFolder, "", nEnd, 0, 0, 0};
    if (CheckNameFormat(pszFormat, &fmt) != FORMAT_FINE ||
        !BuildMarkedPattern(pszFolder, pszFormat, &fmt, g_szMarked, sizeof(g_szMarked)) ||
        SplitMarkedPattern(g_szMarked, pszFormat, &fmt, g_szSeriesFolder, sizeof(g_szSeriesFolder), &g_numbered,
                           &survey.pszRest) != SPLIT_DONE ||
        !ListFolder(g_szSeriesFolder, CountEntry, &survey) || survey.cFiles == 0)
        return false;
    pBeyond->cFiles = survey.cFiles;
    NameOfLevel(pszFormat, survey.nFirst, pBeyond->szFirst, sizeof(pBeyond->szFirst));
    NameOfLevel(pszFormat, survey.nLast, pBeyond->szLast, sizeof(pBeyond->szLast));
    return true;
}
