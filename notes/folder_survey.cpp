// One pass over the series' folder: each name is matched against the series
// as the gathering would open it.
#include "folder_survey.h"

#include <string.h>

namespace {

// What one survey works in.
struct SurveyBuffers {
    const Series* pSeries;
    int nEnd;
    int cEntries;
    NumberRange beyond;  // the series' files numbered above nEnd
    NameChar rgchEntry[FULL_PATH_CAPACITY];
    char szLevelZero[FULL_PATH_CAPACITY];
} g_survey;

bool SurveyEntry(const FolderEntry* pEntry, void* /*pContext*/)
{
    const char* pszName = pEntry->pszName;
    size_t cch;
    ++g_survey.cEntries;
    if (!ToNameText(pszName, strlen(pszName), g_survey.rgchEntry, FULL_PATH_CAPACITY, &cch))
        return true;
    int nLevel = SeriesNumberOfName(g_survey.pSeries, g_survey.rgchEntry, cch, true);
    // Only a file is a level: not a folder of that name, nor one that lacks
    // the path below the number.
    FileIdentity id;
    if (nLevel > g_survey.nEnd && IdentifySeriesEntry(g_survey.pSeries, pszName, &id) && !id.fDirectory)
        AddToRange(&g_survey.beyond, nLevel);
    return true;
}

}  // namespace

void AddToRange(NumberRange* pRange, int nNumber)
{
    if (pRange->cFiles++ == 0 || nNumber < pRange->nFirst)
        pRange->nFirst = nNumber;
    if (nNumber > pRange->nLast)
        pRange->nLast = nNumber;
}

void NameSurveyRange(const NameFormat* pFmt, const NumberRange* pRange, SurveyRange* pNamed)
{
    pNamed->cFiles = pRange->cFiles;
    if (!FormatLeafName(pFmt, pRange->nFirst, pNamed->szFirst, sizeof(pNamed->szFirst)))
        pNamed->szFirst[0] = '\0';
    if (!FormatLeafName(pFmt, pRange->nLast, pNamed->szLast, sizeof(pNamed->szLast)))
        pNamed->szLast[0] = '\0';
}

bool SurveyFolder(const GatherRun* pRun, int nEnd, FolderSurvey* pSurvey)
{
    memset(pSurvey, 0, sizeof(*pSurvey));
    errno = 0;
    if (!pRun->fJudged)
        return false;
    g_survey.pSeries = &pRun->series;
    g_survey.nEnd = nEnd;
    g_survey.beyond = NumberRange{0, 0, 0};
    g_survey.cEntries = 0;
    if (!ListFolder(pRun->series.szFolder, false, SurveyEntry, NULL))
        return false;
    pSurvey->cEntries = g_survey.cEntries;
    if (g_survey.beyond.cFiles > 0)
        NameSurveyRange(&pRun->format, &g_survey.beyond, &pSurvey->beyond);
    FileIdentity id;
    if (ExpandLevelName(pRun->series.szGiven, &pRun->format, 0, g_survey.szLevelZero, sizeof(g_survey.szLevelZero)) &&
        IdentifyPath(g_survey.szLevelZero, &id) && !id.fDirectory)
        pSurvey->fHasZero = FormatLeafName(&pRun->format, 0, pSurvey->szZero, sizeof(pSurvey->szZero));
    return true;
}
