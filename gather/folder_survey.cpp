// One pass over the series' folder. Each name is matched against the series
// as the gathering would open it, and sorted into a kind of numbered name
// (the text before the number, its padding, the text after it) with a record
// of the numbers it has, so that a hint can state exactly what its format
// gathers. Kinds are kept in fixed memory; when the table is full, a kind
// closer to the format given pushes out the smallest of the others, so the
// series meant is never dropped for room.
#include "folder_survey.h"

#include <stdio.h>
#include <string.h>

#include "series.h"

namespace {

const int kMaxKinds = 64;
// Numbers up to this one are recorded one by one; a file numbered above it
// is counted, but no gap is looked for there.
const int kMaxNumber = 4095;
const int kMaxDigits = 9;

enum KindRank { RANK_OWN_TEXT, RANK_OWN_TEXT_OTHER_CASE, RANK_OTHER };

struct NameKind {
    char szHead[MAX_PATH];
    char szTail[MAX_PATH];
    int nWidth;  // the digits of a zero-padded number; 0 for a plain one
    KindRank rank;
    bool fOwnTail;  // the text after the number is the format's: levels, not solutions
    int cFiles;
    unsigned char rgbNumbers[kMaxNumber / 8 + 1];
};

struct SurveyRun {
    int nEnd;
    bool fHints;
    int cFiles;  // of the series, numbered above nEnd
    int nFirst;
    int nLast;
};

NameFormat g_surveyFormat;
Series g_surveySeries;
NameChar g_rgchEntry[FULL_PATH_CAPACITY];
NameChar g_rgchA[MAX_PATH];
NameChar g_rgchB[MAX_PATH];
char g_szLevelZero[MAX_PATH];
// The format given, split: the folder part before the numbered name (format
// text), and the name's literal text before and after the number.
char g_szPrefix[FORMAT_CAPACITY];
char g_szOwnHead[MAX_PATH];
char g_szOwnTail[MAX_PATH];
bool g_fOwnLeaf;
NameKind g_rgKind[kMaxKinds];
int g_cKinds;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

// Equal as names of one folder are (letter case counts where the file
// system says so).
bool SameName(const char* pA, const char* pB, size_t cch)
{
    size_t cchA;
    size_t cchB;
    return ToNameText(pA, cch, g_rgchA, MAX_PATH, &cchA) && ToNameText(pB, cch, g_rgchB, MAX_PATH, &cchB) &&
           cchA == cchB && NameTextEqual(g_rgchA, g_rgchB, cchA);
}

bool SameIgnoringCase(const char* pA, const char* pB, size_t cch)
{
    for (size_t i = 0; i < cch; ++i)
        if (Lower(pA[i]) != Lower(pB[i]))
            return false;
    return true;
}

bool AllDigits(const char* p, size_t cch)
{
    for (size_t i = 0; i < cch; ++i)
        if (!IsDigit(p[i]))
            return false;
    return cch > 0;
}

// Where the number of a name stands: within the format's own text if the
// name has it, else its last run of digits. False for a name without one.
bool SplitName(const char* psz, size_t cch, size_t* piDigits, size_t* pcchDigits, KindRank* pRank)
{
    size_t cchHead = strlen(g_szOwnHead);
    size_t cchTail = strlen(g_szOwnTail);
    if (g_fOwnLeaf && cch > cchHead + cchTail && AllDigits(psz + cchHead, cch - cchHead - cchTail)) {
        const char* pszTail = psz + cch - cchTail;
        *piDigits = cchHead;
        *pcchDigits = cch - cchHead - cchTail;
        if (SameName(psz, g_szOwnHead, cchHead) && SameName(pszTail, g_szOwnTail, cchTail)) {
            *pRank = RANK_OWN_TEXT;
            return true;
        }
        if (SameIgnoringCase(psz, g_szOwnHead, cchHead) && SameIgnoringCase(pszTail, g_szOwnTail, cchTail)) {
            *pRank = RANK_OWN_TEXT_OTHER_CASE;
            return true;
        }
    }
    // The last run of digits; no second byte of a double-byte character is a digit.
    size_t iEnd = cch;
    while (iEnd > 0 && !IsDigit(psz[iEnd - 1]))
        --iEnd;
    size_t iStart = iEnd;
    while (iStart > 0 && IsDigit(psz[iStart - 1]))
        --iStart;
    *piDigits = iStart;
    *pcchDigits = iEnd - iStart;
    *pRank = RANK_OTHER;
    return iEnd > 0;
}

bool Worse(const NameKind* pA, KindRank rank, int cFiles)
{
    return pA->rank > rank || (pA->rank == rank && pA->cFiles < cFiles);
}

// The kind of this name, made if need be; NULL when the table is full of
// kinds that weigh more.
NameKind* KindOf(const char* psz, size_t iDigits, size_t cchDigits, int nWidth, KindRank rank)
{
    const char* pszTail = psz + iDigits + cchDigits;
    NameKind* pWorst = g_rgKind;
    for (NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind) {
        if (pKind->nWidth == nWidth && strncmp(pKind->szHead, psz, iDigits) == 0 && pKind->szHead[iDigits] == '\0' &&
            strcmp(pKind->szTail, pszTail) == 0)
            return pKind;
        if (Worse(pKind, pWorst->rank, pWorst->cFiles))
            pWorst = pKind;
    }
    NameKind* pKind = g_rgKind + g_cKinds;
    if (g_cKinds < kMaxKinds)
        ++g_cKinds;
    else if (Worse(pWorst, rank, 1))
        pKind = pWorst;
    else
        return NULL;
    memset(pKind, 0, sizeof(*pKind));
    memcpy(pKind->szHead, psz, iDigits);  // fits: a name is shorter than a path
    (void)snprintf(pKind->szTail, sizeof(pKind->szTail), "%s", pszTail);
    pKind->nWidth = nWidth;
    pKind->rank = rank;
    size_t cchTail = strlen(pszTail);
    pKind->fOwnTail = g_fOwnLeaf && cchTail == strlen(g_szOwnTail) && SameName(pszTail, g_szOwnTail, cchTail);
    return pKind;
}

void AddNumber(NameKind* pKind, int nNumber)
{
    ++pKind->cFiles;
    if (nNumber <= kMaxNumber)
        pKind->rgbNumbers[nNumber / 8] |= static_cast<unsigned char>(1U << (nNumber % 8));
}

bool HasNumber(const NameKind* pKind, int nNumber)
{
    return nNumber <= kMaxNumber && (pKind->rgbNumbers[nNumber / 8] & (1U << (nNumber % 8))) != 0;
}

void WeighName(const char* psz)
{
    size_t cch = strlen(psz);
    size_t iDigits;
    size_t cchDigits;
    KindRank rank;
    if (cch >= MAX_PATH || !SplitName(psz, cch, &iDigits, &cchDigits, &rank) || cchDigits > kMaxDigits)
        return;
    int nNumber = 0;
    for (size_t i = iDigits; i < iDigits + cchDigits; ++i)
        nNumber = nNumber * 10 + (psz[i] - '0');
    int nWidth = psz[iDigits] == '0' && cchDigits > 1 ? static_cast<int>(cchDigits) : 0;
    NameKind* pKind = nNumber > 0 ? KindOf(psz, iDigits, cchDigits, nWidth, rank) : NULL;
    if (pKind != NULL)
        AddNumber(pKind, nNumber);
}

bool SurveyEntry(const FolderEntry* pEntry, void* pContext)
{
    const char* pszName = pEntry->pszName;
    SurveyRun* pRun = static_cast<SurveyRun*>(pContext);
    if (pRun->fHints)
        WeighName(pszName);
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

// Appends text to a format; fLiteral: name text, whose '%' is doubled.
bool AppendFormat(char* pszOut, size_t* pcch, size_t cbOut, const char* pszText, bool fLiteral)
{
    for (; *pszText != '\0'; ++pszText) {
        if (*pcch + 2 >= cbOut)
            return false;
        if (fLiteral && *pszText == '%')
            pszOut[(*pcch)++] = '%';
        pszOut[(*pcch)++] = *pszText;
    }
    pszOut[*pcch] = '\0';
    return true;
}

void NameRange(const char* pszFormat, int nFirst, int nLast, int cFiles, SurveyRange* pRange)
{
    pRange->cFiles = cFiles;
    (void)snprintf(pRange->szFirst, sizeof(pRange->szFirst), pszFormat, nFirst);  // a format we made: one int
    (void)snprintf(pRange->szLast, sizeof(pRange->szLast), pszFormat, nLast);
}

// A zero-padded series runs on past its width: 01 ... 09, then 10, 11 ...,
// which fall in the plain kind of the same text.
void MergePlainNumbers(NameKind* pPadded)
{
    int nFrom = 1;
    for (int i = 1; i < pPadded->nWidth; ++i)
        nFrom *= 10;
    for (const NameKind* pPlain = g_rgKind; pPlain < g_rgKind + g_cKinds; ++pPlain) {
        if (pPlain->nWidth != 0 || strcmp(pPlain->szHead, pPadded->szHead) != 0 ||
            strcmp(pPlain->szTail, pPadded->szTail) != 0)
            continue;
        for (int n = nFrom; n <= kMaxNumber; ++n)
            if (HasNumber(pPlain, n) && !HasNumber(pPadded, n))
                AddNumber(pPadded, n);
    }
}

// What the kind's format gathers and leaves beyond its first gap. False
// when it gathers nothing, or is the format given.
bool MakeHint(const NameKind* pKind, FormatHint* pHint)
{
    char szConversion[16];
    if (pKind->nWidth > 0)
        (void)snprintf(szConversion, sizeof(szConversion), "%%0%dd", pKind->nWidth);
    else
        (void)snprintf(szConversion, sizeof(szConversion), "%%d");
    size_t cch = 0;
    char* psz = pHint->szFormat;
    const size_t cb = sizeof(pHint->szFormat);
    if (!AppendFormat(psz, &cch, cb, g_szPrefix, false) || !AppendFormat(psz, &cch, cb, pKind->szHead, true) ||
        !AppendFormat(psz, &cch, cb, szConversion, false) || !AppendFormat(psz, &cch, cb, pKind->szTail, true) ||
        !HasNumber(pKind, 1) || strcmp(psz, g_surveyFormat.szText) == 0)
        return false;
    int nGap = 1;
    while (HasNumber(pKind, nGap))
        ++nGap;
    NameRange(psz, 1, nGap - 1, nGap - 1, &pHint->gathered);
    int cBeyond = 0;
    int nFirst = 0;
    int nLast = 0;
    for (int n = nGap + 1; n <= kMaxNumber; ++n) {
        if (!HasNumber(pKind, n))
            continue;
        nFirst = nFirst == 0 ? n : nFirst;
        nLast = n;
        ++cBeyond;
    }
    NameRange(psz, nFirst, nLast, cBeyond, &pHint->beyond);
    return true;
}

// Where a hint stands, lower first: the format's own text, then in other
// case, then the others; within each the larger first, and of two as large
// the one with the format's extension.
long long HintOrder(const NameKind* pKind, const FormatHint* pHint)
{
    long long llLarger = kMaxNumber - pHint->gathered.cFiles;
    return (static_cast<long long>(pKind->rank) << 32) + (llLarger << 1) + (pKind->fOwnTail ? 0 : 1);
}

// Into place among the best SURVEY_HINTS.
void RankHint(const FormatHint* pHint, long long llOrder, long long* rgllOrder, FolderSurvey* pSurvey)
{
    int i = pSurvey->cHints < SURVEY_HINTS ? pSurvey->cHints++ : SURVEY_HINTS;
    for (; i > 0 && rgllOrder[i - 1] > llOrder; --i) {
        if (i < SURVEY_HINTS) {
            pSurvey->rgHint[i] = pSurvey->rgHint[i - 1];
            rgllOrder[i] = rgllOrder[i - 1];
        }
    }
    if (i < SURVEY_HINTS) {
        pSurvey->rgHint[i] = *pHint;
        rgllOrder[i] = llOrder;
    }
}

// The format's folder part and the literal text around its number; hints
// are made only where the number is in the file name.
void SplitOwnFormat()
{
    const NameFormat* pFmt = &g_surveyFormat;
    const char* pszSeparator = LastSeparator(pFmt->szText, static_cast<size_t>(pFmt->nConvStart));
    size_t cchPrefix = pszSeparator != NULL ? static_cast<size_t>(pszSeparator + 1 - pFmt->szText) : 0;
    memcpy(g_szPrefix, pFmt->szText, cchPrefix);
    g_szPrefix[cchPrefix] = '\0';
    char szLiteral[FORMAT_CAPACITY];
    (void)snprintf(szLiteral, sizeof(szLiteral), "%.*s", pFmt->nConvStart - static_cast<int>(cchPrefix),
                   pFmt->szText + cchPrefix);
    // "%%" stands for '%': the text without the number reads as the name does.
    (void)snprintf(g_szOwnHead, sizeof(g_szOwnHead), szLiteral, 0);
    (void)snprintf(g_szOwnTail, sizeof(g_szOwnTail), pFmt->szText + pFmt->nConvStart + pFmt->nConvLength, 0);
    g_fOwnLeaf = g_surveySeries.szBelow[0] == '\0';
}

}  // namespace

bool SurveyFolder(const char* pszFolder, const char* pszFormat, int nEnd, bool fHints, FolderSurvey* pSurvey)
{
    memset(pSurvey, 0, sizeof(*pSurvey));
    g_cKinds = 0;
    errno = 0;
    if (CheckNameFormat(pszFormat, &g_surveyFormat) != GATHER_OK ||
        MakeSeries(pszFolder, &g_surveyFormat, SPELLED_AS_RESOLVED, &g_surveySeries) != GATHER_OK)
        return false;
    SplitOwnFormat();
    SurveyRun run = {nEnd, fHints && g_fOwnLeaf, 0, 0, 0};
    if (!ListFolder(g_surveySeries.szFolder, false, SurveyEntry, &run))
        return false;
    if (run.cFiles > 0)
        NameRange(g_surveyFormat.szText, run.nFirst, run.nLast, run.cFiles, &pSurvey->beyond);
    FileIdentity id;
    if (ExpandLevelName(pszFolder, &g_surveyFormat, 0, g_szLevelZero, sizeof(g_szLevelZero)) &&
        IdentifyPath(g_szLevelZero, &id) && !id.fDirectory) {
        pSurvey->fHasZero = true;
        (void)snprintf(pSurvey->szZero, sizeof(pSurvey->szZero), g_surveyFormat.szText, 0);  // a checked format
    }
    long long rgllOrder[SURVEY_HINTS] = {};
    for (NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind)
        if (pKind->nWidth > 0)
            MergePlainNumbers(pKind);
    for (const NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind) {
        FormatHint hint = {};
        if (MakeHint(pKind, &hint))
            RankHint(&hint, HintOrder(pKind, &hint), rgllOrder, pSurvey);
    }
    return true;
}
