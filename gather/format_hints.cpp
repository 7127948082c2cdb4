// The first listing sorts each numbered name into a kind (the text before
// the number, its padding, the text after it), kept in fixed memory: when
// the table is full, a kind closer to the format given pushes out the
// furthest, so the series meant is never dropped for room. The closest kinds
// become hints, and a second listing counts exactly what each hint's format
// gathers.
#include "format_hints.h"

#include <stdio.h>
#include <string.h>

#include "board_reader.h"
#include "series.h"

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
    int cFiles;
    int nFirst;
    int nLast;
    int rgcByDigits[kMaxDigits + 1];  // of a plain kind: its numbers by their digits
    NameFormat format;                // the format that gathers it,
    bool fFormat;                     // when one other than the format given does
    bool fBoard;                      // its first file holds a board
};

// What the second listing finds of one hint's format.
struct HintCount {
    const NameKind* pKind;
    unsigned char rgbNumbers[kCountedNumbers / 8 + 1];
    int cAbove;  // numbered past kCountedNumbers
    int nFirstAbove;
    int nLastAbove;
};

NameFormat g_givenFormat;
char g_szListed[FULL_PATH_CAPACITY];  // the folder that holds the numbered names
char g_szPrefix[FORMAT_CAPACITY];     // the format's text before the name
char g_szGivenHead[MAX_PATH];
char g_szGivenTail[MAX_PATH];
char g_szMadeFormat[FORMAT_CAPACITY];
char g_szFirstFile[FULL_PATH_CAPACITY];
NameChar g_rgchA[MAX_PATH];
NameChar g_rgchB[MAX_PATH];
NameKind g_rgKind[kMaxKinds];
int g_cKinds;
HintCount g_rgCount[FORMAT_HINTS];
int g_cCounts;

char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }
bool IsWordSeparator(char ch) { return ch == ' ' || ch == '_' || ch == '-' || ch == '.'; }

// The value of cch decimal digits; -1 for text that is no such number or
// is too long for one.
int DigitsValue(const char* p, size_t cch)
{
    if (cch == 0 || cch > kMaxDigits)
        return -1;
    int nValue = 0;
    for (size_t i = 0; i < cch; ++i) {
        if (!IsDigit(p[i]))
            return -1;
        nValue = nValue * 10 + (p[i] - '0');
    }
    return nValue;
}

// Equal as names of one folder are (letter case counts where the file
// system says so).
bool SameName(const char* pA, size_t cchA, const char* pB, size_t cchB)
{
    size_t cchTextA;
    size_t cchTextB;
    return ToNameText(pA, cchA, g_rgchA, MAX_PATH, &cchTextA) && ToNameText(pB, cchB, g_rgchB, MAX_PATH, &cchTextB) &&
           cchTextA == cchTextB && NameTextEqual(g_rgchA, g_rgchB, cchTextA);
}

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
        int nCloseness = CloseTo(psz, i, g_szGivenHead) * 4 + CloseTo(psz + iEnd, cch - iEnd, g_szGivenTail);
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
    if (pA->cFiles != pB->cFiles)
        return pA->cFiles > pB->cFiles;
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
    NameKind* pWorst = g_rgKind;
    for (NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind) {
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
    kind.head = CloseTo(kind.szHead, iDigits, g_szGivenHead);
    kind.tail = CloseTo(kind.szTail, strlen(kind.szTail), g_szGivenTail);
    kind.cFiles = 1;
    NameKind* pKind = g_rgKind + g_cKinds;
    if (g_cKinds < kMaxKinds)
        ++g_cKinds;
    else if (Before(&kind, pWorst))
        pKind = pWorst;
    else
        return NULL;
    kind.cFiles = 0;
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
    int nNumber = DigitsValue(psz + iDigits, cchDigits);
    int nWidth = psz[iDigits] == '0' && cchDigits > 1 ? static_cast<int>(cchDigits) : 0;
    // A file 0 is left to the survey of the format given, which tells it
    // from a folder of that name.
    NameKind* pKind = nNumber > 0 ? KindOf(psz, iDigits, cchDigits, nWidth) : NULL;
    if (pKind == NULL)
        return true;
    if (pKind->cFiles++ == 0 || nNumber < pKind->nFirst)
        pKind->nFirst = nNumber;
    if (nNumber > pKind->nLast)
        pKind->nLast = nNumber;
    ++pKind->rgcByDigits[cchDigits];
    return true;
}

// A zero-padded series runs on past its width: 01 ... 09, then 10, 11 ...,
// which fall in the plain kind of the same text. Its size and its last
// number take them in.
void MergePlainNumbers()
{
    for (NameKind* pPadded = g_rgKind; pPadded < g_rgKind + g_cKinds; ++pPadded) {
        for (const NameKind* pPlain = g_rgKind; pPadded->nWidth > 0 && pPlain < g_rgKind + g_cKinds; ++pPlain) {
            if (pPlain->nWidth != 0 || strcmp(pPlain->szHead, pPadded->szHead) != 0 ||
                strcmp(pPlain->szTail, pPadded->szTail) != 0)
                continue;
            int cWider = 0;
            for (int cDigits = pPadded->nWidth; cDigits <= kMaxDigits; ++cDigits)
                cWider += pPlain->rgcByDigits[cDigits];
            pPadded->cFiles += cWider;
            if (cWider > 0 && pPlain->nLast > pPadded->nLast)
                pPadded->nLast = pPlain->nLast;
        }
    }
}

// The format that gathers the kind, into g_szMadeFormat and pFmt. False
// when it does not fit or is the format given.
bool MakeFormat(const NameKind* pKind, NameFormat* pFmt)
{
    char* psz = g_szMadeFormat;
    const size_t cb = sizeof(g_szMadeFormat);
    size_t cch = strlen(g_szPrefix);  // shorter than the format it came from
    memcpy(psz, g_szPrefix, cch + 1);
    if (!AppendAsFormatText(psz, &cch, cb, pKind->szHead, strlen(pKind->szHead)))
        return false;
    int cchConversion = pKind->nWidth > 0 ? snprintf(psz + cch, cb - cch, "%%0%dd", pKind->nWidth)
                                          : snprintf(psz + cch, cb - cch, "%%d");
    if (cchConversion < 0 || static_cast<size_t>(cchConversion) >= cb - cch)
        return false;
    cch += static_cast<size_t>(cchConversion);
    return AppendAsFormatText(psz, &cch, cb, pKind->szTail, strlen(pKind->szTail)) &&
           strcmp(psz, g_givenFormat.szText) != 0 && CheckNameFormat(psz, pFmt) == GATHER_OK;
}

// Into place among the best FORMAT_HINTS, by kind.
void RankHint(const NameKind* pKind)
{
    int i = g_cCounts < FORMAT_HINTS ? g_cCounts++ : FORMAT_HINTS;
    for (; i > 0 && Before(pKind, g_rgCount[i - 1].pKind); --i)
        if (i < FORMAT_HINTS)
            g_rgCount[i] = g_rgCount[i - 1];
    if (i < FORMAT_HINTS) {
        memset(&g_rgCount[i], 0, sizeof(g_rgCount[i]));
        g_rgCount[i].pKind = pKind;
    }
}

// Whether the name is one the hint's format gives a number, spelled as it
// spells that number; its number, or -1.
int NumberOfHintName(const HintCount* pCount, const char* psz, size_t cch)
{
    const NameKind* pKind = pCount->pKind;
    size_t cchHead = strlen(pKind->szHead);
    size_t cchTail = strlen(pKind->szTail);
    if (cch <= cchHead + cchTail)
        return -1;
    const char* pDigits = psz + cchHead;
    size_t cchDigits = cch - cchHead - cchTail;
    int nNumber = DigitsValue(pDigits, cchDigits);
    if (nNumber < 0 || !SameName(psz, cchHead, pKind->szHead, cchHead) ||
        !SameName(pDigits + cchDigits, cchTail, pKind->szTail, cchTail))
        return -1;
    char szSpelled[kMaxDigits + 2];
    return ExpandConversion(&pCount->pKind->format, nNumber, szSpelled, sizeof(szSpelled)) &&
                   strlen(szSpelled) == cchDigits && memcmp(szSpelled, pDigits, cchDigits) == 0
               ? nNumber
               : -1;
}

void CountName(HintCount* pCount, const char* psz, size_t cch)
{
    int nNumber = NumberOfHintName(pCount, psz, cch);
    if (nNumber > kCountedNumbers) {
        if (pCount->cAbove++ == 0 || nNumber < pCount->nFirstAbove)
            pCount->nFirstAbove = nNumber;
        if (nNumber > pCount->nLastAbove)
            pCount->nLastAbove = nNumber;
    } else if (nNumber > 0) {
        pCount->rgbNumbers[nNumber / 8] |= static_cast<unsigned char>(1U << (nNumber % 8));
    }
}

bool CountEntry(const FolderEntry* pEntry, void* /*pContext*/)
{
    size_t cch = strlen(pEntry->pszName);
    if (IsFolder(pEntry))
        return true;
    for (HintCount* pCount = g_rgCount; pCount < g_rgCount + g_cCounts; ++pCount)
        CountName(pCount, pEntry->pszName, cch);
    return true;
}

bool HasNumber(const HintCount* pCount, int nNumber)
{
    return (pCount->rgbNumbers[nNumber / 8] & (1U << (nNumber % 8))) != 0;
}

// The counted files numbered nFrom and up, when there are any.
void NameCountedRange(const HintCount* pCount, int nFrom, SurveyRange* pRange)
{
    int cFiles = pCount->cAbove;
    int nFirst = pCount->nFirstAbove;
    int nLast = pCount->nLastAbove;
    for (int n = kCountedNumbers; n >= nFrom; --n) {
        if (!HasNumber(pCount, n))
            continue;
        nFirst = n;
        nLast = nLast == 0 ? n : nLast;
        ++cFiles;
    }
    if (cFiles > 0)
        NameSurveyRange(&pCount->pKind->format, nFirst, nLast, cFiles, pRange);
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
    pHint->fAtLeast = nGap > kCountedNumbers;
    NameSurveyRange(pFmt, 1, nGap - 1, nGap - 1, &pHint->gathered);
    if (!pHint->fAtLeast)  // else where its gap is, and what follows, is past counting
        NameCountedRange(pCount, nGap + 1, &pHint->beyond);
}

// A hint: a kind that a format other than the one given gathers from 1.
bool Gathers(const NameKind* pKind) { return pKind->fFormat && pKind->nFirst == 1; }

// Of series that differ in what they hold, levels come first: the first
// file of each series that gathers is looked at, once there are two.
void ReadFirstBoards(const char* pszFolder)
{
    int cGathering = 0;
    for (const NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind)
        cGathering += Gathers(pKind) ? 1 : 0;
    for (NameKind* pKind = g_rgKind; cGathering > 1 && pKind < g_rgKind + g_cKinds; ++pKind)
        pKind->fBoard = Gathers(pKind) &&
                        ExpandLevelName(pszFolder, &pKind->format, 1, g_szFirstFile, sizeof(g_szFirstFile)) &&
                        HoldsBoard(g_szFirstFile);
}

// The format's folder part and the text around its number; false when the
// number is not in the file name.
bool SplitGivenFormat(const char* pszFolder)
{
    const NameFormat* pFmt = &g_givenFormat;
    const char* pszAfter = pFmt->szText + pFmt->nConvStart + pFmt->nConvLength;
    if (NextSeparator(pszAfter) != NULL || strchr(pszAfter, '/') != NULL ||
        !ExpandLevelName(pszFolder, pFmt, 1, g_szFirstFile, sizeof(g_szFirstFile)))
        return false;
    const char* pszSeparator = LastSeparator(g_szFirstFile, strlen(g_szFirstFile));
    if (pszSeparator == NULL || !CopyFolderPart(g_szFirstFile, pszSeparator, g_szListed, sizeof(g_szListed)))
        return false;
    const char* pszName = LastSeparator(pFmt->szText, static_cast<size_t>(pFmt->nConvStart));
    size_t cchPrefix = pszName != NULL ? static_cast<size_t>(pszName + 1 - pFmt->szText) : 0;
    memcpy(g_szPrefix, pFmt->szText, cchPrefix);
    g_szPrefix[cchPrefix] = '\0';
    size_t cchHead = 0;
    size_t cchTail = 0;
    return AppendAsNameText(g_szGivenHead, &cchHead, sizeof(g_szGivenHead), pFmt->szText + cchPrefix,
                            static_cast<size_t>(pFmt->nConvStart) - cchPrefix) &&
           AppendAsNameText(g_szGivenTail, &cchTail, sizeof(g_szGivenTail), pszAfter, strlen(pszAfter));
}

// The largest series of the text given at another padding that starts past 1.
void FindStartElsewhere(FormatHints* pHints)
{
    const NameKind* pLargest = NULL;
    for (const NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind)
        if (pKind->fFormat && pKind->head == AS_GIVEN && pKind->tail == AS_GIVEN && pKind->nFirst > 1 &&
            (pLargest == NULL || pKind->cFiles > pLargest->cFiles))
            pLargest = pKind;
    if (pLargest != NULL)
        NameSurveyRange(&pLargest->format, pLargest->nFirst, pLargest->nLast, pLargest->cFiles,
                        &pHints->startsElsewhere);
}

}  // namespace

bool FindFormatHints(const char* pszFolder, const char* pszFormat, FormatHints* pHints)
{
    memset(pHints, 0, sizeof(*pHints));
    g_cKinds = 0;
    g_cCounts = 0;
    errno = 0;
    if (CheckNameFormat(pszFormat, &g_givenFormat) != GATHER_OK || !SplitGivenFormat(pszFolder) ||
        !ListFolder(g_szListed, true, WeighEntry, NULL))
        return false;
    MergePlainNumbers();
    for (NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind)
        pKind->fFormat = MakeFormat(pKind, &pKind->format);
    ReadFirstBoards(pszFolder);
    FindStartElsewhere(pHints);
    for (const NameKind* pKind = g_rgKind; pKind < g_rgKind + g_cKinds; ++pKind)
        if (Gathers(pKind))
            RankHint(pKind);
    if (g_cCounts == 0)
        return true;
    if (!ListFolder(g_szListed, true, CountEntry, NULL))
        return false;
    for (int i = 0; i < g_cCounts; ++i)
        MakeHint(&g_rgCount[i], &pHints->rgHint[i]);
    pHints->cHints = g_cCounts;
    return true;
}
