#include "series_survey.h"

#include <stdio.h>
#include <string.h>

#include "series.h"

namespace {

struct Survey {
    int nEnd;
    int cFiles;
    int nFirst;
    int nLast;
};

NameFormat g_surveyFormat;
Series g_surveySeries;
NameChar g_rgchEntry[FULL_PATH_CAPACITY];

void CountEntry(const char* pszName, void* pContext)
{
    Survey* pSurvey = static_cast<Survey*>(pContext);
    size_t cch;
    if (!ToNameText(pszName, strlen(pszName), g_rgchEntry, FULL_PATH_CAPACITY, &cch))
        return;
    int nLevel = SeriesNumberOfName(&g_surveySeries, g_rgchEntry, cch, true);
    // Only a file is a level: not a folder of that name, nor one that lacks
    // the path below the number.
    FileIdentity id;
    if (nLevel <= pSurvey->nEnd || !IdentifySeriesEntry(&g_surveySeries, pszName, &id) || id.fDirectory)
        return;
    if (pSurvey->cFiles++ == 0 || nLevel < pSurvey->nFirst)
        pSurvey->nFirst = nLevel;
    if (nLevel > pSurvey->nLast)
        pSurvey->nLast = nLevel;
}

// The format expanded alone, as a name within the folder.
void NameOfLevel(int nLevel, char* pszOut, size_t cbOut)
{
    (void)snprintf(pszOut, cbOut, g_surveyFormat.szText, nLevel);  // a checked format: one int
}

}  // namespace

bool FindSeriesBeyond(const char* pszFolder, const char* pszFormat, int nEnd, SeriesBeyond* pBeyond)
{
    Survey survey = {nEnd, 0, 0, 0};
    if (CheckNameFormat(pszFormat, &g_surveyFormat) != GATHER_OK ||
        MakeSeries(pszFolder, &g_surveyFormat, SPELLED_AS_RESOLVED, &g_surveySeries) != GATHER_OK ||
        !ListFolder(g_surveySeries.szFolder, CountEntry, &survey) || survey.cFiles == 0)
        return false;
    pBeyond->cFiles = survey.cFiles;
    NameOfLevel(survey.nFirst, pBeyond->szFirst, sizeof(pBeyond->szFirst));
    NameOfLevel(survey.nLast, pBeyond->szLast, sizeof(pBeyond->szLast));
    return true;
}
