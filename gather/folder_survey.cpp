// One pass over the series' folder: each name is matched against the series
// as the gathering would open it.
#include "folder_survey.h"

#include <stdio.h>
#include <string.h>

#include "series.h"

namespace {

struct SurveyRun {
    int nEnd;
    int cFiles;  // of the series, numbered above nEnd
    int nFirst;
    int nLast;
};

NameFormat g_surveyFormat;
Series g_surveySeries;
NameChar g_rgchEntry[FULL_PATH_CAPACITY];
char g_szLevelZero[FULL_PATH_CAPACITY];

bool SurveyEntry(const FolderEntry* pEntry, void* pContext)
{
    const char* pszName = pEntry->pszName;
    SurveyRun* pRun = static_cast<SurveyRun*>(pContext);
    size_t cch;
    if (!ToNameText(pszName, strlen(pszName), g_rgchEntry, FULL_PATH_CAPACITY, &cch))
        return true;
    int nLevel = SeriesNumberOfName(&g_surveySeries, g_rgchEntry, cch, true);
    // Only a file is a level: not a folder of that name, nor one that lacks
    // the path below the number.
    FileIdentity id;
    if (nLevel <= pRun->nEnd || !IdentifySeriesEntry(&g_surveySeries, pszName, &id) || id.fDirectory)
        return true;
    if (pRun->cFiles++ == 0 || nLevel < pRun->nFirst)
        pRun->nFirst = nLevel;
    if (nLevel > pRun->nLast)
        pRun->nLast = nLevel;
    return true;
}

}  // namespace

void NameSurveyRange(const NameFormat* pFmt, int nFirst, int nLast, int cFiles, SurveyRange* pRange)
{
    pRange->cFiles = cFiles;
    if (!FormatLeafName(pFmt, nFirst, pRange->szFirst, sizeof(pRange->szFirst)))
        pRange->szFirst[0] = '\0';
    if (!FormatLeafName(pFmt, nLast, pRange->szLast, sizeof(pRange->szLast)))
        pRange->szLast[0] = '\0';
}

bool SurveyFolder(const char* pszFolder, const char* pszFormat, int nEnd, FolderSurvey* pSurvey)
{
    memset(pSurvey, 0, sizeof(*pSurvey));
    errno = 0;
    if (CheckNameFormat(pszFormat, &g_surveyFormat) != GATHER_OK ||
        MakeSeries(pszFolder, &g_surveyFormat, &g_surveySeries) != GATHER_OK)
        return false;
    SurveyRun run = {nEnd, 0, 0, 0};
    if (!ListFolder(g_surveySeries.szFolder, false, SurveyEntry, &run))
        return false;
    if (run.cFiles > 0)
        NameSurveyRange(&g_surveyFormat, run.nFirst, run.nLast, run.cFiles, &pSurvey->beyond);
    FileIdentity id;
    if (ExpandLevelName(pszFolder, &g_surveyFormat, 0, g_szLevelZero, sizeof(g_szLevelZero)) &&
        IdentifyPath(g_szLevelZero, &id) && !id.fDirectory)
        pSurvey->fHasZero = FormatLeafName(&g_surveyFormat, 0, pSurvey->szZero, sizeof(pSurvey->szZero));
    return true;
}
