// The first listing sorts each numbered name into a kind (the text before
// the number, its padding, the text after it), kept in fixed memory: when
// the table is full, a kind closer to the format given pushes out the
// furthest, so the series meant is never dropped for room. The closest kinds
// become hints, and a second listing counts exactly what each hint's format
// gathers.
#include "format_hints.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "board_reader.h"

namespace {

const int kMaxKinds = 64;
const int kMaxDigits = 9;  // any number of 9 digits fits an int
// A hint's count is exact up to this number; a series that runs past it
// gathers at least as many.
const int kCountedNumbers = 65535;

// How close a part of a name is to the format's text there, closest first.
enum Closeness { AS_GIVEN, OTHER_CASE, OTHER_SEPARATORS, UNLIKE };

struct NameKind {
    char szHead[MAX_PATH];  // the name's text before the number
    char szTail[MAX_PATH];  // and after it
    int nWidth;             // the digits of a zero-padded number; 0 for a plain one
    Closeness head;
    Closeness tail;
    NumberRange files;
    int rgcByDigits[kMaxDigits + 1];  // of a plain kind: its numbers by their digits
    NameFormat format;                // the format that gathers it,
    bool fFormat;                     // when one other than the format given does
    bool fBoard;                      // its first file holds a board
};

// What the second listing finds of one hint's format, read as its series.
struct HintCount {
    const NameKind* pKind;
    Series series;
    unsigned char rgbNumbers[kCountedNumbers / 8 + 1];
    NumberRange above;  // numbered past kCountedNumbers
};

// What one search for hints works in.
struct HintBuffers {
    const GatherRun* pRun;
    char szPrefix[FORMAT_CAPACITY];  // the format's text before the name
    char szGivenHead[MAX_PATH];      // and its name's text before the number
    char szGivenTail[MAX_PATH];      // and after it
    char szMadeFormat[FORMAT_CAPACITY];
    char szFirstFile[FULL_PATH_CAPACITY];
    NameChar rgchEntry[FULL_PATH_CAPACITY];
    NameKind rgKind[kMaxKinds];
    int cKinds;
    HintCount rgCount[FORMAT_HINTS];
    int cCounts;
} g_hints;

// A decimal digit (never a byte of a double-byte character's second half,
// which starts at 0x40).
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }
bool IsWordSeparator(char ch) { return ch == ' ' || ch == '_' || ch == '-' || ch == '.'; }

// Equal ignoring letter case, and with fSkipSeparators the separators
// between words too.
bool SameLoosely(const char* pA, size_t cchA, const char* pB, size_t cchB, bool fSkipSeparators)
{
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        while (fSkipSeparators && i < cchA && IsWordSeparator(pA[i]))
            ++i;
        while (fSkipSeparators && j < cchB && IsWordSeparator(pB[j]))
            ++j;
        if (i == cchA || j == cchB)
            return i == cchA && j == cchB;
        if (Lower(pA[i++]) != Lower(pB[j++]))
            return false;
    }
}

Closeness CloseTo(const char* psz, size_t cch, const char* pszGiven)
{
    size_t cchGiven = strlen(pszGiven);
    if (SameName(psz, cch, pszGiven, cchGiven))
        return AS_GIVEN;
    if (SameLoosely(psz, cch, pszGiven, cchGiven, false))
        return OTHER_CASE;
    return SameLoosely(psz, cch, pszGiven, cchGiven, true) ? OTHER_SEPARATORS : UNLIKE;
}

// Where the number of a name stands: the run of digits whose text before
// and after is closest to the format's ("maze1_v2.sok" for "maze%d.sok"),
// the last of equals. False for a name without one.
bool SplitName(const char* psz, size_t cch, size_t* piDigits, size_t* pcchDigits)
{
    int nBest = -1;
    for (size_t i = 0, iEnd = 0; i < cch; i = iEnd) {
        for (iEnd = i + 1; IsDigit(psz[i]) && iEnd < cch && IsDigit(psz[iEnd]);)
            ++iEnd;
        if (!IsDigit(psz[i]))
            continue;
        int nCloseness = CloseTo(psz, i, g_hints.szGivenHead) * 4 + CloseTo(psz + iEnd, cch - iEnd, g_hints.szGivenTail);
        if (nBest < 0 || nCloseness <= nBest) {
            nBest = nCloseness;
            *piDigits = i;
            *pcchDigits = iEnd - i;
        }
    }
    return nBest >= 0;
}

// Whether kind A makes a better hint than kind B: the text before the
// number closer; the text given at another padding; a first file with a
// board (once read); the text after the number closer; more files.
bool Before(const NameKind* pA, const NameKind* pB)
{
    if (pA->head != pB->head)
        return pA->head < pB->head;
    if ((pA->tail == AS_GIVEN) != (pB->tail == AS_GIVEN))
        return pA->tail == AS_GIVEN;
    if (pA->fBoard != pB->fBoard)
        return pA->fBoard;
    if (pA->tail != pB->tail)
        return pA->tail < pB->tail;
    if (pA->files.cFiles != pB->files.cFiles)
        return pA->files.cFiles > pB->files.cFiles;
    // Whatever order the folder lists its names in, the same hints.
    int nHead = strcmp(pA->szHead, pB->szHead);
    int nTail = strcmp(pA->szTail, pB->szTail);
    return nHead != 0 ? nHead < 0 : nTail != 0 ? nTail < 0 : pA->nWidth < pB->nWidth;
}

// The kind of this name, made if need be; NULL when the table is full of
// kinds that weigh more.
NameKind* KindOf(const char* psz, size_t iDigits, size_t cchDigits, int nWidth)
{
    const char* pszTail = psz + iDigits + cchDigits;
    NameKind* pWorst = g_hints.rgKind;
    for (NameKind* pKind = g_hints.rgKind; pKind < g_hints.rgKind + g_hints.cKinds; ++pKind) {
        if (pKind->nWidth == nWidth && strncmp(pKind->szHead, psz, iDigits) == 0 && pKind->szHead[iDigits] == '\0' &&
            strcmp(pKind->szTail, pszTail) == 0)
            return pKind;
        if (Before(pWorst, pKind))
            pWorst = pKind;
    }
    NameKind kind = {};
    memcpy(kind.szHead, psz, iDigits);  // fits: a name is shorter than a path
    memcpy(kind.szTail, pszTail, strlen(pszTail) + 1);
    kind.nWidth = nWidth;
    kind.head = CloseTo(kind.szHead, iDigits, g_hints.szGivenHead);
    kind.tail = CloseTo(kind.szTail, strlen(kind.szTail), g_hints.szGivenTail);
    kind.files.cFiles = 1;  // as it weighs once its first file is counted
    NameKind* pKind = g_hints.rgKind + g_hints.cKinds;
    if (g_hints.cKinds < kMaxKinds)
        ++g_hints.cKinds;
    else if (Before(&kind, pWorst))
        pKind = pWorst;
    else
        return NULL;
    kind.files.cFiles = 0;
    *pKind = kind;
    return pKind;
}

// A folder of a series' name ends the gathering there: it is no level file.
bool IsFolder(const FolderEntry* pEntry) { return pEntry->fIdentified && pEntry->id.fDirectory; }

bool WeighEntry(const FolderEntry* pEntry, void* /*pContext*/)
{
    const char* psz = pEntry->pszName;
    size_t cch = strlen(psz);
    size_t iDigits = 0;
    size_t cchDigits = 0;
    if (cch >= MAX_PATH || IsFolder(pEntry) || !SplitName(psz, cch, &iDigits, &cchDigits))
        return true;
    // The run of digits ends where the name's next character is no digit.
    int nNumber = cchDigits <= kMaxDigits ? static_cast<int>(strtol(psz + iDigits, NULL, 10)) : -1;
    int nWidth = psz[iDigits] == '0' && cchDigits > 1 ? static_cast<int>(cchDigits) : 0;
    // A file 0 is left to the survey of the format given, which tells it
    // from a folder of that name.
    NameKind* pKind = nNumber > 0 ? KindOf(psz, iDigits, cchDigits, nWidth) : NULL;
    if (pKind == NULL)
        return true;
    AddToRange(&pKind->files, nNumber);
    ++pKind->rgcByDigits[cchDigits];
    return true;
}

// A zero-padded series runs on past its width: 01 ... 09, then 10, 11 ...,
// which fall in the plain kind of the same text. Its size and its last
// number take them in.
void MergePlainNumbers()
{
    NameKind* pEnd = g_hints.rgKind + g_hints.cKinds;
    for (NameKind* pPadded = g_hints.rgKind; pPadded < pEnd; ++pPadded) {
        for (const NameKind* pPlain = g_hints.rgKind; pPadded->nWidth > 0 && pPlain < pEnd; ++pPlain) {
            if (pPlain->nWidth != 0 || strcmp(pPlain->szHead, pPadded->szHead) != 0 ||
                strcmp(pPlain->szTail, pPadded->szTail) != 0)
                continue;
            int cWider = 0;
            for (int cDigits = pPadded->nWidth; cDigits <= kMaxDigits; ++cDigits)
                cWider += pPlain->rgcByDigits[cDigits];
            pPadded->files.cFiles += cWider;
            if (cWider > 0 && pPlain->files.nLast > pPadded->files.nLast)
                pPadded->files.nLast = pPlain->files.nLast;
        }
    }
}

// Appends cchFrom bytes of name text to pszOut (cbOut bytes, kept
// terminated) at *pcch as format text, each '%' doubled so that it stands
// for itself. False when it does not fit.
bool AppendAsFormatText(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, size_t cchFrom)
{
    for (size_t i = 0; i < cchFrom; ++i) {
        bool fPercent = pszFrom[i] == '%';
        if (*pcch + (fPercent ? 2 : 1) >= cbOut)
            return false;
        if (fPercent)
            pszOut[(*pcch)++] = '%';
        pszOut[(*pcch)++] = pszFrom[i];
    }
    pszOut[*pcch] = '\0';
    return true;
}

// The format that gathers the kind, into pFmt. False when it does not fit
// or is the format given.
bool MakeFormat(const NameKind* pKind, NameFormat* pFmt)
{
    char* psz = g_hints.szMadeFormat;
    const size_t cb = sizeof(g_hints.szMadeFormat);
    size_t cch = strlen(g_hints.szPrefix);  // shorter than the format it came from
    memcpy(psz, g_hints.szPrefix, cch + 1);
    if (!AppendAsFormatText(psz, &cch, cb, pKind->szHead, strlen(pKind->szHead)))
        return false;
    int cchConversion = pKind->nWidth > 0 ? snprintf(psz + cch, cb - cch, "%%0%dd", pKind->nWidth)
                                          : snprintf(psz + cch, cb - cch, "%%d");
    if (cchConversion < 0 || static_cast<size_t>(cchConversion) >= cb - cch)
        return false;
    cch += static_cast<size_t>(cchConversion);
    return AppendAsFormatText(psz, &cch, cb, pKind->szTail, strlen(pKind->szTail)) &&
           strcmp(psz, g_hints.pRun->format.szText) != 0 && CheckNameFormat(psz, pFmt) == GATHER_OK;
}

// Into place among the best FORMAT_HINTS, by kind.
void RankHint(const NameKind* pKind)
{
    HintCount* rgCount = g_hints.rgCount;
    int i = g_hints.cCounts < FORMAT_HINTS ? g_hints.cCounts++ : FORMAT_HINTS;
    for (; i > 0 && Before(pKind, rgCount[i - 1].pKind); --i)
        if (i < FORMAT_HINTS)
            rgCount[i].pKind = rgCount[i - 1].pKind;
    if (i < FORMAT_HINTS)
        rgCount[i].pKind = pKind;
}

void CountName(HintCount* pCount, const NameChar* pch, size_t cch)
{
    int nNumber = SeriesNumberOfName(&pCount->series, pch, cch, true);
    if (nNumber > kCountedNumbers)
        AddToRange(&pCount->above, nNumber);
    else if (nNumber > 0)
        pCount->rgbNumbers[nNumber / 8] |= static_cast<unsigned char>(1U << (nNumber % 8));
}

bool CountEntry(const FolderEntry* pEntry, void* /*pContext*/)
{
    size_t cch;
    if (IsFolder(pEntry) ||
        !ToNameText(pEntry->pszName, strlen(pEntry->pszName), g_hints.rgchEntry, FULL_PATH_CAPACITY, &cch))
        return true;
    for (HintCount* pCount = g_hints.rgCount; pCount < g_hints.rgCount + g_hints.cCounts; ++pCount)
        CountName(pCount, g_hints.rgchEntry, cch);
    return true;
}

bool HasNumber(const HintCount* pCount, int n) { return (pCount->rgbNumbers[n / 8] & (1U << (n % 8))) != 0; }

// The counted files numbered nFrom and up, when there are any.
void NameCountedRange(const HintCount* pCount, int nFrom, SurveyRange* pRange)
{
    NumberRange range = pCount->above;
    for (int n = nFrom; n <= kCountedNumbers; ++n)
        if (HasNumber(pCount, n))
            AddToRange(&range, n);
    if (range.cFiles > 0)
        NameSurveyRange(&pCount->pKind->format, &range, pRange);
}

// What the counted format gathers, and its files after the first gap.
void MakeHint(const HintCount* pCount, FormatHint* pHint)
{
    const NameFormat* pFmt = &pCount->pKind->format;
    memcpy(pHint->szFormat, pFmt->szText, sizeof(pHint->szFormat));
    pHint->fOwnText = pCount->pKind->head == AS_GIVEN && pCount->pKind->tail == AS_GIVEN;
    int nGap = 1;
    while (nGap <= kCountedNumbers && HasNumber(pCount, nGap))
        ++nGap;
    NumberRange gathered = {nGap - 1, 1, nGap - 1};
    const NumberRange* pAbove = &pCount->above;
    bool fRunsOn = nGap > kCountedNumbers && pAbove->cFiles > 0 && pAbove->nFirst == kCountedNumbers + 1;
    // Past the counted numbers a range is only known to have no gap when it
    // holds as many files as numbers: one folder holds one name a number.
    if (fRunsOn && pAbove->nLast - pAbove->nFirst + 1 == pAbove->cFiles) {
        gathered.cFiles += pAbove->cFiles;
        gathered.nLast = pAbove->nLast;
    } else if (fRunsOn) {
        pHint->fAtLeast = true;  // where its gap is, and what follows, is past counting
        gathered.cFiles = kCountedNumbers + 1;
    }
    NameSurveyRange(pFmt, &gathered, &pHint->gathered);
    if (!fRunsOn)
        NameCountedRange(pCount, nGap + 1, &pHint->beyond);
}

// A hint: a kind that a format other than the one given gathers from 1.
bool Gathers(const NameKind* pKind) { return pKind->fFormat && pKind->files.nFirst == 1; }

// Of series that differ in what they hold, levels come first: the first
// file of each series that gathers is looked at, once there are two.
void ReadFirstBoards()
{
    const NameKind* pEnd = g_hints.rgKind + g_hints.cKinds;
    int cGathering = 0;
    for (const NameKind* pKind = g_hints.rgKind; pKind < pEnd; ++pKind)
        cGathering += Gathers(pKind) ? 1 : 0;
    for (NameKind* pKind = g_hints.rgKind; cGathering > 1 && pKind < pEnd; ++pKind)
        pKind->fBoard = Gathers(pKind) &&
                        ExpandLevelName(g_hints.pRun->series.szGiven, &pKind->format, 1, g_hints.szFirstFile,
                                        sizeof(g_hints.szFirstFile)) &&
                        HoldsBoard(g_hints.szFirstFile);
}

// The format's text before the name and around its number; false when the
// number is not in the file name.
bool SplitGivenFormat()
{
    const NameFormat* pFmt = &g_hints.pRun->format;
    if (g_hints.pRun->series.szBelow[0] != '\0')
        return false;
    const char* pszAfter = pFmt->szText + pFmt->nConvStart + pFmt->nConvLength;
    const char* pszName = LastSeparator(pFmt->szText, static_cast<size_t>(pFmt->nConvStart));
    size_t cchPrefix = pszName != NULL ? static_cast<size_t>(pszName + 1 - pFmt->szText) : 0;
    memcpy(g_hints.szPrefix, pFmt->szText, cchPrefix);
    g_hints.szPrefix[cchPrefix] = '\0';
    size_t cchHead = 0;
    size_t cchTail = 0;
    return AppendAsNameText(g_hints.szGivenHead, &cchHead, sizeof(g_hints.szGivenHead), pFmt->szText + cchPrefix,
                            static_cast<size_t>(pFmt->nConvStart) - cchPrefix) &&
           AppendAsNameText(g_hints.szGivenTail, &cchTail, sizeof(g_hints.szGivenTail), pszAfter, strlen(pszAfter));
}

// The largest series of the text given at another padding that starts past 1.
void FindStartElsewhere(FormatHints* pHints)
{
    const NameKind* pLargest = NULL;
    for (const NameKind* pKind = g_hints.rgKind; pKind < g_hints.rgKind + g_hints.cKinds; ++pKind)
        if (pKind->fFormat && pKind->head == AS_GIVEN && pKind->tail == AS_GIVEN && pKind->files.nFirst > 1 &&
            (pLargest == NULL || pKind->files.cFiles > pLargest->files.cFiles))
            pLargest = pKind;
    if (pLargest != NULL)
        NameSurveyRange(&pLargest->format, &pLargest->files, &pHints->startsElsewhere);
}

}  // namespace

bool FindFormatHints(const GatherRun* pRun, FormatHints* pHints)
{
    memset(pHints, 0, sizeof(*pHints));
    g_hints.pRun = pRun;
    g_hints.cKinds = 0;
    g_hints.cCounts = 0;
    errno = 0;
    const char* pszListed = pRun->series.szFolder;
    if (!pRun->fJudged || !SplitGivenFormat() || !ListFolder(pszListed, true, WeighEntry, NULL))
        return false;
    MergePlainNumbers();
    const NameKind* pEnd = g_hints.rgKind + g_hints.cKinds;
    for (NameKind* pKind = g_hints.rgKind; pKind < pEnd; ++pKind)
        pKind->fFormat = MakeFormat(pKind, &pKind->format);
    ReadFirstBoards();
    FindStartElsewhere(pHints);
    for (const NameKind* pKind = g_hints.rgKind; pKind < pEnd; ++pKind)
        if (Gathers(pKind))
            RankHint(pKind);
    // Each hint's format read as the run reads its own: as a series.
    for (HintCount* pCount = g_hints.rgCount; pCount < g_hints.rgCount + g_hints.cCounts; ++pCount) {
        memset(pCount->rgbNumbers, 0, sizeof(pCount->rgbNumbers));
        pCount->above = NumberRange{0, 0, 0};
        if (MakeSeries(pRun->series.szGiven, &pCount->pKind->format, &pCount->series) != GATHER_OK)
            return false;
    }
    if (g_hints.cCounts == 0)
        return true;
    if (!ListFolder(pszListed, true, CountEntry, NULL))
        return false;
    for (int i = 0; i < g_hints.cCounts; ++i)
        MakeHint(&g_hints.rgCount[i], &pHints->rgHint[i]);
    pHints->cHints = g_hints.cCounts;
    return true;
}
